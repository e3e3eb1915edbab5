// File times to calendar times to automation dates, the three steps a file
// listing takes, and the local time of each date with that date's own
// offset from UTC.
#include <gtest/gtest.h>

#include <filesystem>

#include "ScopedEnv.h"
#include "platform/DateTime.h"

namespace tovtest {
namespace {

using namespace tov::platform;

FileTime at(std::int64_t unixSeconds, std::uint32_t nanoseconds = 0) { return fileTimeFromUnix(unixSeconds, nanoseconds); }

double localDate(FileTime utc) {
  FileTime local = 0;
  SystemTime st;
  double date = 0;
  EXPECT_TRUE(FileTimeToLocalFileTime(utc, local));
  EXPECT_TRUE(FileTimeToSystemTime(local, st));
  EXPECT_TRUE(SystemTimeToVariantTime(st, date));
  return date;
}

TEST(FileTimes, FollowPosixTimesAcross1970AndClampAtTheCalendarsEnds) {
  EXPECT_EQ(at(0), 116444736000000000ull);
  EXPECT_EQ(at(-1, 999'999'999), 116444735999999999ull);
  EXPECT_EQ(at(-11644473600), 0u);
  EXPECT_EQ(at(-11644473601), 0u);
  EXPECT_EQ(at(INT64_MAX), kMaxFileTime);
  EXPECT_EQ(at(1, 123'456'789), 116444736011234567ull);
}

TEST(FileTimes, SplitIntoCalendarFieldsWithWeekdayAndMilliseconds) {
  SystemTime st;
  ASSERT_TRUE(FileTimeToSystemTime(at(1678881600, 987'654'321), st));  // 2023-03-15 12:00:00.987 UTC
  EXPECT_EQ(st.year, 2023);
  EXPECT_EQ(st.month, 3);
  EXPECT_EQ(st.day, 15);
  EXPECT_EQ(st.dayOfWeek, 3);  // a Wednesday
  EXPECT_EQ(st.hour, 12);
  EXPECT_EQ(st.minute, 0);
  EXPECT_EQ(st.second, 0);
  EXPECT_EQ(st.milliseconds, 987);
  ASSERT_TRUE(FileTimeToSystemTime(0, st));
  EXPECT_EQ(st.year, 1601);
  EXPECT_EQ(st.dayOfWeek, 1);  // 1601-01-01 was a Monday
  ASSERT_TRUE(FileTimeToSystemTime(at(-14182940), st));  // 1969-07-20 20:17:40
  EXPECT_EQ(st.year, 1969);
  EXPECT_EQ(st.day, 20);
  EXPECT_EQ(st.dayOfWeek, 0);
  EXPECT_EQ(st.hour, 20);
  EXPECT_EQ(st.second, 40);
  EXPECT_FALSE(FileTimeToSystemTime(kMaxFileTime + 1, st));
  EXPECT_EQ(st.year, 0);
}

TEST(FileTimes, BecomeDatesOfWholeSecondsBeforeAndAfter1970) {
  ScopedEnv tz("TZ", "UTC0");
  EXPECT_DOUBLE_EQ(localDate(at(1678881600)), 45000.5);
  // Sub-second parts are dropped, never rounded up into the next second.
  EXPECT_DOUBLE_EQ(localDate(at(1678881600, 999'999'999)), 45000.5);
  EXPECT_DOUBLE_EQ(localDate(at(-14182940)), 25404.845601851852);
  EXPECT_DOUBLE_EQ(localDate(at(-2208988800)), 2.0);  // 1900-01-01
  EXPECT_DOUBLE_EQ(localDate(at(-11644473599)), -109205.00001157407);  // 1601-01-01 00:00:01
  EXPECT_DOUBLE_EQ(localDate(at(253402300799)), 2958465.999988426);   // 9999-12-31 23:59:59
}

TEST(FileTimes, TakeTheOffsetOfTheirOwnDateNotTodays) {
  ScopedEnv tz("TZ", "CET-1CEST,M3.5.0,M10.5.0/3");
  EXPECT_DOUBLE_EQ(localDate(at(1673784000)), 44941.541666666664);  // 2023-01-15 12:00 UTC is 13:00 there
  EXPECT_DOUBLE_EQ(localDate(at(1689422400)), 45122.583333333336);  // 2023-07-15 12:00 UTC is 14:00 there
}

TEST(FileTimes, TakeTheZonesHistoricalOffsets) {
  if (!std::filesystem::exists("/usr/share/zoneinfo/Europe/Moscow")) GTEST_SKIP() << "no time zone data";
  // The zone moved from +3/+4 with summer time to +4 in 2011 and to +3 in
  // 2014; a file keeps the offset of its own date.
  ScopedEnv tz("TZ", "Europe/Moscow");
  EXPECT_DOUBLE_EQ(localDate(at(1341144000)), 41091.666666666664);  // 2012-07-01 16:00
  EXPECT_DOUBLE_EQ(localDate(at(1467374400)), 42552.625);           // 2016-07-01 15:00
}

TEST(FileTimes, FailWhereTheCalendarOrTheDateRangeEnds) {
  ScopedEnv tz("TZ", "EST5");
  FileTime local = 1;
  EXPECT_FALSE(FileTimeToLocalFileTime(at(-11644473600 + 60), local));  // west of UTC, before 1601
  EXPECT_EQ(local, 0u);
  EXPECT_FALSE(FileTimeToLocalFileTime(kMaxFileTime + 1, local));

  double date = 7;
  SystemTime st;
  ASSERT_TRUE(FileTimeToSystemTime(at(253402300800), st));  // 10000-01-01
  EXPECT_FALSE(SystemTimeToVariantTime(st, date));
  EXPECT_EQ(date, 0.0);
  for (SystemTime bad : {SystemTime{2023, 2, 0, 29, 0, 0, 0, 0}, SystemTime{1900, 2, 0, 29, 0, 0, 0, 0},
                         SystemTime{2023, 13, 0, 1, 0, 0, 0, 0}, SystemTime{2023, 4, 0, 31, 0, 0, 0, 0},
                         SystemTime{2023, 1, 0, 1, 24, 0, 0, 0}, SystemTime{2023, 1, 0, 1, 0, 60, 0, 0},
                         SystemTime{99, 1, 0, 1, 0, 0, 0, 0}}) {
    EXPECT_FALSE(SystemTimeToVariantTime(bad, date)) << bad.year << "-" << bad.month << "-" << bad.day;
  }
  ASSERT_TRUE(SystemTimeToVariantTime(SystemTime{2000, 2, 0, 29, 23, 59, 59, 999}, date));
  EXPECT_DOUBLE_EQ(date, 36585.99998842592);
}

}  // namespace
}  // namespace tovtest
