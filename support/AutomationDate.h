#pragma once
// The date value the library's classes hand out (file times as local
// dates), below the component frame so the core classes need no frame type
// to produce one.
#include <cstdint>

namespace tov {

// An automation date: days since 1899-12-30, the time of day as the
// fraction (see platform/DateTime.h for dates before that day).
struct Date {
  double value = 0;
  bool operator==(const Date&) const = default;
};

// A file time (UTC, 100 ns since 1601) as a local date in whole seconds,
// through the platform's three steps: to local time with that date's own
// offset, to the calendar, to a date. A file time of 0 (no time recorded)
// and one that a step cannot convert give the zero date.
Date dateFromFileTime(std::uint64_t fileTimeUtc);

}  // namespace tov
