// Open files are the system's own: access rights, share modes and create
// dispositions go to CreateFileW as they are, so every other program on
// the machine sees and honours them.
#include "platform/FileHandle.h"

#include <windows.h>

#include <cerrno>
#include <algorithm>

#include "platform/Path.h"
#include "platform/WinError.h"
#include "platform/win32/HandleSlot.h"
#include "platform/win32/SystemErrors.h"
#include "platform/win32/WideText.h"

namespace tov::platform {
namespace {

using win32::handleOf;
using win32::slotOf;

// Reads and writes go in pieces a DWORD can count.
constexpr DWORD kMaxPiece = 1u << 30;

OVERLAPPED at(std::int64_t offset) {
  OVERLAPPED ov{};
  ov.Offset = static_cast<DWORD>(static_cast<std::uint64_t>(offset) & 0xFFFFFFFFu);
  ov.OffsetHigh = static_cast<DWORD>(static_cast<std::uint64_t>(offset) >> 32);
  return ov;
}

}  // namespace

FileHandle::~FileHandle() { release(); }

void FileHandle::release() {
  if (fd_ >= 0) ::CloseHandle(handleOf(fd_));
  fd_ = -1;
  lockFd_ = -1;
}

bool FileHandle::fail(int err) {
  const DWORD code = ::GetLastError();
  error_ = err != 0 ? err : win32::errnoFromWinError(code);
  if (code == ERROR_SUCCESS) SetLastError(winErrorFromErrno(error_));
  return false;
}

FileHandle FileHandle::open(std::u16string_view name, std::uint32_t access, std::uint32_t shareMode,
                            CreateDisposition disposition, std::uint32_t flags) {
  FileHandle h;
  if (name.empty()) {
    SetLastError(kErrorPathNotFound);
    h.error_ = ENOENT;
    return h;
  }
  // The system would stop reading the name at a NUL and open another file.
  if (name.find(u'\0') != std::u16string_view::npos) {
    SetLastError(kErrorInvalidName);
    h.error_ = EINVAL;
    return h;
  }
  std::wstring wideName = win32::wide(name);
  for (wchar_t& c : wideName) {
    if (c == L'/') c = L'\\';
  }
  const HANDLE file = ::CreateFileW(wideName.c_str(), access, shareMode, nullptr, static_cast<DWORD>(disposition),
                                    FILE_ATTRIBUTE_NORMAL | flags, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    h.fail(0);
    return h;
  }
  h.fd_ = slotOf(file);
  // Opening an existing file with OPEN_ALWAYS or CREATE_ALWAYS leaves
  // ERROR_ALREADY_EXISTS behind although the open succeeded.
  ::SetLastError(ERROR_SUCCESS);
  return h;
}

FileHandle FileHandle::openNative(const std::string& path, std::uint32_t access, std::uint32_t shareMode,
                                  CreateDisposition disposition, std::uint32_t flags) {
  return open(fromNativePath(path), access, shareMode, disposition, flags);
}

std::int64_t FileHandle::size() {
  LARGE_INTEGER size{};
  if (!::GetFileSizeEx(handleOf(fd_), &size)) {
    fail(0);
    return -1;
  }
  return size.QuadPart;
}

bool FileHandle::readAt(std::int64_t offset, std::size_t length, ByteVector& out) {
  out.resize(length);
  std::size_t done = 0;
  while (done < length) {
    const DWORD piece = static_cast<DWORD>(std::min<std::size_t>(length - done, kMaxPiece));
    OVERLAPPED ov = at(offset + static_cast<std::int64_t>(done));
    DWORD got = 0;
    if (!::ReadFile(handleOf(fd_), out.data() + done, piece, &got, &ov)) {
      if (::GetLastError() == ERROR_HANDLE_EOF) break;
      out.resize(done);
      return fail(0);
    }
    if (got == 0) break;  // the file is shorter than it was
    done += got;
  }
  out.resize(done);
  return true;
}

bool FileHandle::readToEnd(ByteVector& out, std::int64_t limit) {
  out.clear();
  const HANDLE h = handleOf(fd_);
  const DWORD type = ::GetFileType(h);
  LARGE_INTEGER size{};
  if (type == FILE_TYPE_DISK) {
    if (!::GetFileSizeEx(h, &size)) return fail(0);
  }
  if (size.QuadPart > limit) return fail(EFBIG);
  if (!readAt(0, static_cast<std::size_t>(size.QuadPart), out)) return false;
  // A pipe or a console is read only as far as its size says (nothing), so
  // it never blocks.
  if (type != FILE_TYPE_DISK || out.size() < static_cast<std::size_t>(size.QuadPart)) return true;
  // A file another program is still writing may have grown since.
  ByteVector chunk;
  for (;;) {
    if (!readAt(static_cast<std::int64_t>(out.size()), 1 << 16, chunk)) return false;
    if (chunk.empty()) return true;
    if (static_cast<std::int64_t>(out.size() + chunk.size()) > limit) return fail(EFBIG);
    out.insert(out.end(), chunk.begin(), chunk.end());
  }
}

bool FileHandle::writeAt(std::int64_t offset, std::span<const std::uint8_t> data) {
  std::size_t done = 0;
  while (done < data.size()) {
    const DWORD piece = static_cast<DWORD>(std::min<std::size_t>(data.size() - done, kMaxPiece));
    OVERLAPPED ov = at(offset + static_cast<std::int64_t>(done));
    DWORD put = 0;
    if (!::WriteFile(handleOf(fd_), data.data() + done, piece, &put, &ov)) return fail(0);
    if (put == 0) return fail(EIO);
    done += put;
  }
  return true;
}

bool FileHandle::reserve(std::int64_t offset, std::int64_t length) {
  if (length <= 0) return true;
  const HANDLE h = handleOf(fd_);
  if (::GetFileType(h) != FILE_TYPE_DISK) return true;
  // The allocation size reserves the clusters without moving the end of
  // the data; a file system that keeps no such size ignores it.
  FILE_ALLOCATION_INFO info{};
  info.AllocationSize.QuadPart = offset + length;
  if (::SetFileInformationByHandle(h, FileAllocationInfo, &info, sizeof info)) return true;
  const DWORD code = ::GetLastError();
  if (code == ERROR_INVALID_PARAMETER || code == ERROR_NOT_SUPPORTED || code == ERROR_INVALID_FUNCTION ||
      code == ERROR_CALL_NOT_IMPLEMENTED)
    return true;
  return fail(0);
}

bool FileHandle::truncate(std::int64_t length) {
  const HANDLE h = handleOf(fd_);
  if (::GetFileType(h) != FILE_TYPE_DISK) return true;
  FILE_END_OF_FILE_INFO info{};
  info.EndOfFile.QuadPart = length;
  if (!::SetFileInformationByHandle(h, FileEndOfFileInfo, &info, sizeof info)) return fail(0);
  return true;
}

bool FileHandle::close() {
  if (fd_ < 0) return true;
  const HANDLE h = handleOf(fd_);
  fd_ = -1;
  if (!::CloseHandle(h)) return fail(0);
  return true;
}

bool FileHandle::wouldConflict(const std::string& path, std::uint32_t access, std::uint32_t shareMode) {
  if (!isUsablePath(path)) return false;
  const HANDLE h = ::CreateFileW(win32::wideFromNative(path).c_str(), access, shareMode, nullptr, OPEN_EXISTING,
                                 FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return ::GetLastError() == ERROR_SHARING_VIOLATION;
  ::CloseHandle(h);
  return false;
}

}  // namespace tov::platform
