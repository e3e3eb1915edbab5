#include "platform/FileStatus.h"

#include <windows.h>

#include <cerrno>

#include "platform/Path.h"
#include "platform/win32/HandleSlot.h"
#include "platform/win32/SystemErrors.h"
#include "platform/win32/WideText.h"

namespace tov::platform {
namespace {

FileStatus failed() {
  FileStatus status;
  status.error = win32::errnoFromWinError(::GetLastError());
  return status;
}

std::int64_t sizeOf(DWORD high, DWORD low) {
  return static_cast<std::int64_t>((static_cast<std::uint64_t>(high) << 32) | low);
}

FileStatus statusOf(HANDLE h) {
  if (::GetFileType(h) != FILE_TYPE_DISK) {
    FileStatus status;
    status.exists = true;  // a console, pipe or device
    return status;
  }
  BY_HANDLE_FILE_INFORMATION info{};
  if (!::GetFileInformationByHandle(h, &info)) return failed();
  FileStatus status;
  status.exists = true;
  status.directory = (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  status.regular = !status.directory;
  status.size = sizeOf(info.nFileSizeHigh, info.nFileSizeLow);
  return status;
}

// Through links: the open file tells what the name leads to.
FileStatus statusByOpening(const std::wstring& name) {
  const HANDLE h = ::CreateFileW(name.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                 OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (h == INVALID_HANDLE_VALUE) return failed();
  const FileStatus status = statusOf(h);
  ::CloseHandle(h);
  return status;
}

// A name the system would cut short at a NUL names nothing here.
FileStatus unusable() {
  FileStatus status;
  status.error = EINVAL;
  return status;
}

}  // namespace

FileStatus fileStatus(const std::string& path) {
  if (!isUsablePath(path)) return unusable();
  return statusByOpening(win32::wideFromNative(path.empty() ? std::string(".") : path));
}

FileStatus linkStatus(const std::string& path) {
  if (!isUsablePath(path)) return unusable();
  WIN32_FILE_ATTRIBUTE_DATA data{};
  const std::wstring name = win32::wideFromNative(path.empty() ? std::string(".") : path);
  if (!::GetFileAttributesExW(name.c_str(), GetFileExInfoStandard, &data)) return failed();
  FileStatus status;
  status.exists = true;
  status.directory = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  status.regular = !status.directory && !(data.dwFileAttributes & FILE_ATTRIBUTE_DEVICE);
  status.size = sizeOf(data.nFileSizeHigh, data.nFileSizeLow);
  return status;
}

FileStatus fileStatus(const FileHandle& file) { return statusOf(win32::handleOf(file.fd())); }

// One file has one volume serial number and file index, whatever names,
// links or letter cases lead to it.
bool sameFile(const std::string& a, const std::string& b) {
  auto identity = [](const std::string& path, BY_HANDLE_FILE_INFORMATION& info) {
    const HANDLE h = ::CreateFileW(win32::wideFromNative(path).c_str(), 0,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                   FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    const bool ok = ::GetFileInformationByHandle(h, &info) != FALSE;
    ::CloseHandle(h);
    return ok;
  };
  BY_HANDLE_FILE_INFORMATION ia{}, ib{};
  if (!isUsablePath(a) || !isUsablePath(b)) return false;
  if (!identity(a, ia) || !identity(b, ib)) return false;
  return ia.dwVolumeSerialNumber == ib.dwVolumeSerialNumber && ia.nFileIndexHigh == ib.nFileIndexHigh &&
         ia.nFileIndexLow == ib.nFileIndexLow;
}

}  // namespace tov::platform
