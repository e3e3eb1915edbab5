// FileTimeToLocalFileTime with the offset that was in force at the instant
// itself (daylight saving time as it was on that date), as file listings
// show times, and as the other systems' builds convert them. The system's
// function of that name would apply today's offset to every date.
#include <windows.h>

#include "platform/DateTime.h"

namespace tov::platform {

bool FileTimeToLocalFileTime(FileTime utc, FileTime& local) {
  local = 0;
  if (utc > kMaxFileTime) return false;
  FILETIME in{static_cast<DWORD>(utc & 0xFFFFFFFFu), static_cast<DWORD>(utc >> 32)};
  SYSTEMTIME universal{}, there{};
  if (!::FileTimeToSystemTime(&in, &universal) || !::SystemTimeToTzSpecificLocalTime(nullptr, &universal, &there)) {
    return false;
  }
  FILETIME out{};
  if (!::SystemTimeToFileTime(&there, &out)) return false;
  // Whole-tick precision: the calendar form keeps milliseconds only.
  const FileTime shiftedMs = (static_cast<FileTime>(out.dwHighDateTime) << 32) | out.dwLowDateTime;
  local = shiftedMs + utc % 10'000;
  return local <= kMaxFileTime;
}

}  // namespace tov::platform
