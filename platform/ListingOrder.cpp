#include "platform/ListingOrder.h"

#include "platform/CaseFold.h"

namespace tov::platform {
namespace {

int dotRank(std::u16string_view name) {
  if (name == u".") return 0;
  if (name == u"..") return 1;
  return 2;
}

}  // namespace

bool listedBefore(std::u16string_view a, std::u16string_view b) {
  const int ra = dotRank(a);
  const int rb = dotRank(b);
  if (ra != rb) return ra < rb;
  return lessIgnoringCase(a, b);
}

}  // namespace tov::platform
