// The new content is written to a file beside the target and put in its
// place by the system's own replace, which keeps the replaced file's
// attributes, security and alternate streams (so both kinds of Keep get
// everything); a failure at any step leaves the old file as it was.
#include "platform/AtomicFileWriter.h"

#include <windows.h>

#include <cerrno>
#include <cstdio>
#include <random>

#include "platform/Path.h"
#include "platform/WinError.h"
#include "platform/win32/HandleSlot.h"
#include "platform/win32/SystemErrors.h"
#include "platform/win32/WideText.h"

namespace tov::platform {
namespace {

std::string tempNameFor(const std::string& target, unsigned attempt) {
  static thread_local std::mt19937 rng{std::random_device{}()};
  const auto slash = target.find_last_of("\\/");
  const std::string dir = slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
  const std::string base = slash == std::string::npos ? target : target.substr(slash + 1);
  char suffix[32];
  std::snprintf(suffix, sizeof suffix, ".%08x%u.tmp", static_cast<unsigned>(rng()), attempt);
  return dir + "." + base + suffix;
}

bool exists(const std::wstring& name) { return ::GetFileAttributesW(name.c_str()) != INVALID_FILE_ATTRIBUTES; }

}  // namespace

AtomicFileWriter::AtomicFileWriter(std::string targetPath, Keep keep) : target_(std::move(targetPath)), keep_(keep) {
  if (target_.empty() || target_.back() == '/' || target_.back() == '\\') {
    fail(ENOENT);
    return;
  }
  if (!isUsablePath(target_)) {
    fail(EINVAL);
    return;
  }
  const std::wstring target = win32::wideFromNative(target_);
  const DWORD attributes = ::GetFileAttributesW(target.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES) {
    exists_ = true;
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
      fail(EISDIR);
      return;
    }
    // The system's replace would take a read-only file's place for an
    // administrator; read-only means nobody rewrites it.
    if (attributes & FILE_ATTRIBUTE_READONLY) {
      fail(EACCES);
      return;
    }
    // The system's replace only asks the holder to allow deletion; a holder
    // that refuses other writers keeps its file here too.
    if (FileHandle::wouldConflict(target_, kGenericWrite, kFileShareRead | kFileShareWrite | kFileShareDelete)) {
      fail(EBUSY);
      return;
    }
  }
  // A device ("NUL", "COM1", a pipe) cannot be replaced by a file: it gets
  // the bytes as they come.
  const HANDLE probe = ::CreateFileW(target.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE |
                                     FILE_SHARE_DELETE, nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (probe != INVALID_HANDLE_VALUE) {
    const DWORD type = ::GetFileType(probe);
    ::CloseHandle(probe);
    if (type != FILE_TYPE_DISK) {
      mode_ = Mode::WriteThrough;
      file_ = FileHandle::openNative(target_, kGenericWrite, kFileShareRead | kFileShareWrite,
                                     CreateDisposition::OpenExisting);
      if (!file_.valid()) fail(file_.error());
      return;
    }
  }
  for (unsigned attempt = 0; attempt < 16; ++attempt) {
    temp_ = tempNameFor(target_, attempt);
    file_ = FileHandle::openNative(temp_, kGenericWrite, kFileShareRead, CreateDisposition::CreateNew);
    if (file_.valid() || file_.error() != EEXIST) break;
  }
  if (!file_.valid()) {
    fail(file_.error());
    temp_.clear();
  }
}

AtomicFileWriter::~AtomicFileWriter() {
  if (!committed_ && !temp_.empty()) {
    file_.close();
    ::DeleteFileW(win32::wideFromNative(temp_).c_str());
  }
}

bool AtomicFileWriter::fail(int err) {
  error_ = err;
  SetLastError(winErrorFromErrno(err));
  return false;
}

bool AtomicFileWriter::write(std::span<const std::uint8_t> data) {
  if (!file_.valid()) return fail(error_ ? error_ : EBADF);
  if (!file_.writeAt(written_, data)) return fail(file_.error());
  written_ += static_cast<std::int64_t>(data.size());
  return true;
}

bool AtomicFileWriter::commit() {
  if (!file_.valid()) return fail(error_ ? error_ : EBADF);
  if (mode_ == Mode::WriteThrough) {
    if (!file_.close()) return fail(file_.error());
    committed_ = true;
    SetLastError(kErrorSuccess);
    return true;
  }
  const std::wstring temp = win32::wideFromNative(temp_);
  const std::wstring target = win32::wideFromNative(target_);
  auto giveUp = [&](DWORD code) {
    ::DeleteFileW(temp.c_str());
    temp_.clear();
    const bool result = fail(win32::errnoFromWinError(code));
    ::SetLastError(code);
    return result;
  };
  // The content reaches the disk before it takes the old file's place, so
  // a power cut leaves the old file or the new one, never an empty one.
  if (!::FlushFileBuffers(win32::handleOf(file_.fd()))) {
    const DWORD code = ::GetLastError();
    file_.close();
    return giveUp(code);
  }
  if (!file_.close()) return giveUp(::GetLastError());
  BOOL moved = FALSE;
  if (exists(target)) {
    moved = ::ReplaceFileW(target.c_str(), temp.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr);
  }
  if (!moved) {
    const DWORD code = ::GetLastError();
    // No old file (or it went in the meantime): the new one simply moves in.
    if (exists(target) && code != ERROR_FILE_NOT_FOUND) return giveUp(code);
    moved = ::MoveFileExW(temp.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    if (!moved) return giveUp(::GetLastError());
  }
  committed_ = true;
  SetLastError(kErrorSuccess);
  return true;
}

int AtomicFileWriter::replace(const std::string& targetPath, std::span<const std::uint8_t> bytes, Keep keep) {
  AtomicFileWriter writer(targetPath, keep);
  if (writer.write(bytes) && writer.commit()) return 0;
  return writer.error();
}

}  // namespace tov::platform
