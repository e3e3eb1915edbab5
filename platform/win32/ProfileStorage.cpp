// INI files read whole and replaced whole through the layer's file handle
// and writer; the system's replace keeps the old file's attributes and
// alternate streams.
#include "platform/ProfileStorage.h"

#include <windows.h>

#include "platform/AtomicFileWriter.h"
#include "platform/FileHandle.h"
#include "platform/WinError.h"
#include "platform/win32/WideText.h"

namespace tov::platform {
namespace {

constexpr std::uint32_t kShareAll = kFileShareRead | kFileShareWrite | kFileShareDelete;

}  // namespace

std::uint32_t readProfileBytes(const std::string& path, ByteVector& out) {
  out.clear();
  FileHandle file = FileHandle::openNative(path, kGenericRead, kShareAll, CreateDisposition::OpenExisting);
  if (!file.valid()) return GetLastError();
  const std::int64_t size = file.size();
  if (size < 0 || !file.readAt(0, static_cast<std::size_t>(size), out)) return GetLastError();
  return kErrorSuccess;
}

std::uint32_t replaceProfileBytes(const std::string& path, std::span<const std::uint8_t> bytes) {
  const std::wstring name = win32::wideFromNative(path);
  const DWORD attributes = ::GetFileAttributesW(name.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES) {
    if (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)) return kErrorAccessDenied;
    if (FileHandle::wouldConflict(path, kGenericWrite, kShareAll)) return kErrorSharingViolation;
  }
  AtomicFileWriter writer(path);
  if (!writer.valid()) return GetLastError();
  if (!writer.write(bytes) || !writer.commit()) return GetLastError();
  return kErrorSuccess;
}

}  // namespace tov::platform
