#include "platform/DateTime.h"


namespace tov::platform {
namespace {

constexpr std::int64_t kSecondsPerDay = 86'400;
constexpr std::int64_t kMaxFileTimeSeconds = static_cast<std::int64_t>(kMaxFileTime / kFileTicksPerSecond);

// Floor division, for instants before 1970.
constexpr std::int64_t floorDiv(std::int64_t a, std::int64_t b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); }

bool isLeap(std::int64_t y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

unsigned daysInMonth(std::int64_t y, unsigned m) {
  static constexpr unsigned kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return m == 2 && isLeap(y) ? 29 : kDays[m - 1];
}

}  // namespace

std::int64_t daysFromCivil(std::int64_t y, unsigned m, unsigned d) {
  y -= m <= 2;
  const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

void civilFromDays(std::int64_t z, std::int64_t& y, unsigned& m, unsigned& d) {
  z += 719468;
  const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const unsigned doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  d = doy - (153 * mp + 2) / 5 + 1;
  m = mp < 10 ? mp + 3 : mp - 9;
  y = static_cast<std::int64_t>(yoe) + era * 400 + (m <= 2);
}

FileTime fileTimeFromUnix(std::int64_t seconds, std::uint32_t nanoseconds) {
  if (seconds < -kUnixEpochInFileTimeSeconds) return 0;
  if (seconds >= kMaxFileTimeSeconds - kUnixEpochInFileTimeSeconds) return kMaxFileTime;
  const auto since1601 = static_cast<FileTime>(seconds + kUnixEpochInFileTimeSeconds);
  return since1601 * kFileTicksPerSecond + (nanoseconds % 1'000'000'000u) / 100;
}

bool FileTimeToSystemTime(FileTime time, SystemTime& out) {
  out = SystemTime{};
  if (time > kMaxFileTime) return false;
  const auto seconds = static_cast<std::int64_t>(time / kFileTicksPerSecond) - kUnixEpochInFileTimeSeconds;
  const std::int64_t days = floorDiv(seconds, kSecondsPerDay);
  const std::int64_t secondOfDay = seconds - days * kSecondsPerDay;
  std::int64_t y = 0;
  unsigned m = 0, d = 0;
  civilFromDays(days, y, m, d);
  out.year = static_cast<std::uint16_t>(y);
  out.month = static_cast<std::uint16_t>(m);
  out.day = static_cast<std::uint16_t>(d);
  // 1970-01-01 was a Thursday.
  out.dayOfWeek = static_cast<std::uint16_t>(((days % 7) + 7 + 4) % 7);
  out.hour = static_cast<std::uint16_t>(secondOfDay / 3600);
  out.minute = static_cast<std::uint16_t>(secondOfDay / 60 % 60);
  out.second = static_cast<std::uint16_t>(secondOfDay % 60);
  out.milliseconds = static_cast<std::uint16_t>(time % kFileTicksPerSecond / 10'000);
  return true;
}

bool SystemTimeToVariantTime(const SystemTime& t, double& date) {
  date = 0;
  if (t.year < 100 || t.year > 9999 || t.month < 1 || t.month > 12 || t.day < 1 ||
      t.day > daysInMonth(t.year, t.month) || t.hour > 23 || t.minute > 59 || t.second > 59) {
    return false;
  }
  const auto days = static_cast<double>(daysFromCivil(t.year, t.month, t.day) - kAutomationDateEpochDays);
  const double fraction = (t.hour * 3600 + t.minute * 60 + t.second) / 86400.0;
  date = days < 0 ? days - fraction : days + fraction;
  return true;
}

}  // namespace tov::platform
