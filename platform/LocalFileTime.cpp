// FileTimeToLocalFileTime: the offset from UTC that was in force at the
// instant itself, from the C library's zone data.
#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>

#include "platform/DateTime.h"

namespace tov::platform {
namespace {

// localtime_r keeps the zone it first loaded; a program may set TZ later,
// so the zone is loaded again when TZ differs from the last load. Not on
// every call: with TZ unset, loading checks the system's zone file, a system
// call per date.
void loadZoneIfChanged() {
  thread_local bool loaded = false;
  thread_local std::optional<std::string> loadedFor;
  const char* tz = std::getenv("TZ");
  const std::optional<std::string> now = tz ? std::optional<std::string>(tz) : std::nullopt;
  if (loaded && now == loadedFor) return;
  tzset();
  loaded = true;
  loadedFor = now;
}

}  // namespace

bool FileTimeToLocalFileTime(FileTime utc, FileTime& local) {
  local = 0;
  if (utc > kMaxFileTime) return false;
  const std::time_t t = static_cast<std::time_t>(static_cast<std::int64_t>(utc / kFileTicksPerSecond) -
                                                 kUnixEpochInFileTimeSeconds);
  loadZoneIfChanged();
  std::tm tm{};
  if (!localtime_r(&t, &tm)) return false;
  const std::int64_t offset = static_cast<std::int64_t>(tm.tm_gmtoff) * static_cast<std::int64_t>(kFileTicksPerSecond);
  const std::int64_t shifted = static_cast<std::int64_t>(utc) + offset;
  if (shifted < 0 || static_cast<FileTime>(shifted) > kMaxFileTime) return false;
  local = static_cast<FileTime>(shifted);
  return true;
}

}  // namespace tov::platform
