// The local date of a file time, as the library's classes hand file times
// out.
#include <gtest/gtest.h>

#include "ScopedEnv.h"
#include "platform/DateTime.h"
#include "support/AutomationDate.h"

namespace tovtest {
namespace {

using tov::dateFromFileTime;
using tov::platform::fileTimeFromUnix;

TEST(FileTimeDates, AreLocalWholeSecondsAndZeroWhereThereIsNoTime) {
  ScopedEnv tz("TZ", "CET-1CEST,M3.5.0,M10.5.0/3");
  EXPECT_DOUBLE_EQ(dateFromFileTime(fileTimeFromUnix(1689422400, 500'000'000)).value, 45122.583333333336);
  EXPECT_DOUBLE_EQ(dateFromFileTime(fileTimeFromUnix(-29851200)).value, 25223.541666666668);  // 1969-01-20 13:00
  // No time recorded, and a time no date can hold, give the zero date, not
  // 1601-01-01 or a date from a half-done conversion.
  EXPECT_EQ(dateFromFileTime(0).value, 0.0);
  EXPECT_EQ(dateFromFileTime(fileTimeFromUnix(253402300800)).value, 0.0);
  EXPECT_EQ(dateFromFileTime(UINT64_MAX).value, 0.0);
}

TEST(FileTimeDates, NearThe1601EdgeWestOfUtcAreZeroRatherThanWrapped) {
  ScopedEnv tz("TZ", "EST5");
  EXPECT_EQ(dateFromFileTime(fileTimeFromUnix(-11644473600 + 60)).value, 0.0);
  EXPECT_DOUBLE_EQ(dateFromFileTime(fileTimeFromUnix(-11644473600 + 5 * 3600)).value, -109205.0);
}

}  // namespace
}  // namespace tovtest
