#include "support/AutomationDate.h"

#include "platform/DateTime.h"

namespace tov {

Date dateFromFileTime(std::uint64_t fileTimeUtc) {
  if (fileTimeUtc == 0) return Date{};
  platform::FileTime local = 0;
  platform::SystemTime calendar;
  double value = 0;
  // A failed step would hand a zero to the next one, which reads it as a
  // real instant (1601-01-01); stop at the first failure instead.
  if (!platform::FileTimeToLocalFileTime(fileTimeUtc, local) || !platform::FileTimeToSystemTime(local, calendar) ||
      !platform::SystemTimeToVariantTime(calendar, value)) {
    return Date{};
  }
  return Date{value};
}

}  // namespace tov
