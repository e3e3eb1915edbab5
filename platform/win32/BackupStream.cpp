// Backup records are the system's own: BackupRead and BackupSeek on the
// open file, their context kept in the layer's opaque pointer.
#include "platform/BackupStream.h"

#include <windows.h>

#include "platform/win32/HandleSlot.h"

namespace tov::platform {

bool BackupRead(FileHandle& file, std::uint8_t* buffer, std::uint32_t bytesToRead, std::uint32_t* bytesRead,
                bool abort, bool processSecurity, BackupContext** context) {
  DWORD got = 0;
  LPVOID systemContext = *context;
  const BOOL ok = ::BackupRead(win32::handleOf(file.fd()), buffer, bytesToRead, &got, abort, processSecurity,
                               &systemContext);
  if (bytesRead) *bytesRead = got;
  // The system frees its context on abort but leaves the pointer behind.
  *context = abort ? nullptr : static_cast<BackupContext*>(systemContext);
  return ok != FALSE;
}

bool BackupSeek(FileHandle& file, std::uint32_t lowBytesToSeek, std::uint32_t highBytesToSeek,
                std::uint32_t* lowBytesSeeked, std::uint32_t* highBytesSeeked, BackupContext** context) {
  DWORD low = 0, high = 0;
  LPVOID systemContext = *context;
  const BOOL ok = ::BackupSeek(win32::handleOf(file.fd()), lowBytesToSeek, highBytesToSeek, &low, &high,
                               &systemContext);
  if (lowBytesSeeked) *lowBytesSeeked = low;
  if (highBytesSeeked) *highBytesSeeked = high;
  *context = static_cast<BackupContext*>(systemContext);
  return ok != FALSE;
}

}  // namespace tov::platform
