#pragma once
// File times, calendar times and automation dates, converted the way the
// Windows time functions convert them, so code written against those reads
// the same here.
//
// A file time counts 100-nanosecond intervals since 1601-01-01 00:00 UTC. An
// automation date counts days since 1899-12-30 00:00, the time of day as
// the fraction; before that day the fraction still counts forward from
// midnight, so 1899-12-29 06:00 is -1.25.
//
// Local time uses each instant's own offset from UTC (daylight saving time
// as it was on that date), as file listings show it, not today's offset.
#include <cstdint>

namespace tov::platform {

using FileTime = std::uint64_t;

inline constexpr FileTime kFileTicksPerSecond = 10'000'000;
// Seconds from 1601-01-01 to 1970-01-01.
inline constexpr std::int64_t kUnixEpochInFileTimeSeconds = 11'644'473'600;
// The largest file time the calendar functions accept.
inline constexpr FileTime kMaxFileTime = 0x7FFF'FFFF'FFFF'FFFFull;

struct SystemTime {
  std::uint16_t year = 0;
  std::uint16_t month = 0;      // 1-12
  std::uint16_t dayOfWeek = 0;  // 0 Sunday - 6 Saturday
  std::uint16_t day = 0;        // 1-31
  std::uint16_t hour = 0;
  std::uint16_t minute = 0;
  std::uint16_t second = 0;
  std::uint16_t milliseconds = 0;
};

// The file time of a POSIX time (seconds and nanoseconds since 1970, UTC,
// as stat gives them); before 1601 it is 0, past the calendar's end
// kMaxFileTime.
FileTime fileTimeFromUnix(std::int64_t seconds, std::uint32_t nanoseconds = 0);

// Each fails (false) with its output set to zero:
// - a local time that would fall before 1601 or past kMaxFileTime;
bool FileTimeToLocalFileTime(FileTime utc, FileTime& local);
// - a file time past kMaxFileTime;
bool FileTimeToSystemTime(FileTime time, SystemTime& out);
// - a calendar time that does not exist or lies outside the years 100 to
//   9999 that a date holds. Milliseconds are dropped: a date holds whole
//   seconds.
bool SystemTimeToVariantTime(const SystemTime& time, double& date);

// Days from 1970-01-01 of a day of the proleptic Gregorian calendar, and
// back.
std::int64_t daysFromCivil(std::int64_t year, unsigned month, unsigned day);
void civilFromDays(std::int64_t days, std::int64_t& year, unsigned& month, unsigned& day);

// Days from 1970-01-01 to the automation date's day 0, 1899-12-30.
inline constexpr std::int64_t kAutomationDateEpochDays = -25569;

}  // namespace tov::platform
