#include "support/ProfileFunctions.h"

#include "platform/PrivateProfile.h"

namespace tov {

bool asIsINIKeyExist2(std::u16string_view section, std::u16string_view key, std::u16string_view fileName) {
  return platform::isProfileKeyPresent(section, key, fileName);
}

}  // namespace tov
