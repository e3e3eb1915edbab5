#include "platform/ProfileStorage.h"

#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <memory>
#include <string_view>
#include <vector>

#include "platform/AtomicFileWriter.h"
#include "platform/FileHandle.h"
#include "platform/WinError.h"

namespace tov::platform {
namespace {

constexpr std::uint32_t kShareAll = kFileShareRead | kFileShareWrite | kFileShareDelete;

// The file a write must replace: the final target of a symbolic link, so
// the link itself survives.
std::uint32_t resolveTarget(const std::string& path, std::string& target) {
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) {
    target = path;
    return kErrorSuccess;
  }
  std::unique_ptr<char, decltype(&std::free)> resolved(::realpath(path.c_str(), nullptr), &std::free);
  if (!resolved) return winErrorFromErrno(errno);
  target = resolved.get();
  return kErrorSuccess;
}

// Whether the existing file may be replaced; `st` receives its status.
std::uint32_t checkReplaceable(const std::string& target, struct stat& st, bool& exists) {
  exists = ::stat(target.c_str(), &st) == 0;
  if (!exists) return errno == ENOENT ? kErrorSuccess : winErrorFromErrno(errno);
  if (S_ISDIR(st.st_mode)) return kErrorAccessDenied;
  // The rename would succeed on a file we may not write: honour the file's
  // own protection, read-only included (root's access() ignores it).
  if ((st.st_mode & 0222) == 0 || ::access(target.c_str(), W_OK) != 0) return kErrorAccessDenied;
  if (FileHandle::wouldConflict(target, kGenericWrite, kShareAll)) return kErrorSharingViolation;
  return kErrorSuccess;
}

std::vector<std::string> userAttributeNames(const std::string& path) {
  std::vector<std::string> names;
  const ssize_t size = ::listxattr(path.c_str(), nullptr, 0);
  if (size <= 0) return names;
  std::string list(static_cast<std::size_t>(size), '\0');
  const ssize_t got = ::listxattr(path.c_str(), list.data(), list.size());
  if (got <= 0) return names;
  list.resize(static_cast<std::size_t>(got));
  for (std::size_t pos = 0; pos < list.size();) {
    const std::string name = list.c_str() + pos;
    pos += name.size() + 1;
    if (std::string_view(name).starts_with("user.")) names.push_back(name);
  }
  return names;
}

// Copies the DOS attributes, alternate streams and the rest of the user
// attributes, which a rename would otherwise drop with the old file.
int copyUserAttributes(const std::string& from, int toFd) {
  for (const std::string& name : userAttributeNames(from)) {
    const ssize_t size = ::getxattr(from.c_str(), name.c_str(), nullptr, 0);
    if (size < 0) return errno;
    std::vector<char> value(static_cast<std::size_t>(size));
    const ssize_t got = ::getxattr(from.c_str(), name.c_str(), value.data(), value.size());
    if (got < 0) return errno;
    if (::fsetxattr(toFd, name.c_str(), value.data(), static_cast<std::size_t>(got), 0) != 0) return errno;
  }
  return 0;
}

}  // namespace

std::uint32_t readProfileBytes(const std::string& path, ByteVector& out) {
  out.clear();
  FileHandle file = FileHandle::openNative(path, kGenericRead, kShareAll, CreateDisposition::OpenExisting);
  if (!file.valid()) return winErrorFromErrno(file.error());
  const std::int64_t size = file.size();
  if (size < 0 || !file.readAt(0, static_cast<std::size_t>(size), out)) return winErrorFromErrno(file.error());
  return kErrorSuccess;
}

std::uint32_t replaceProfileBytes(const std::string& path, std::span<const std::uint8_t> bytes) {
  std::string target;
  if (const std::uint32_t err = resolveTarget(path, target); err != kErrorSuccess) return err;
  struct stat old {};
  bool exists = false;
  if (const std::uint32_t err = checkReplaceable(target, old, exists); err != kErrorSuccess) return err;

  AtomicFileWriter writer(target);
  if (!writer.valid()) {
    // The temporary file is created, so a missing name means a missing folder.
    return writer.error() == ENOENT ? kErrorPathNotFound : winErrorFromErrno(writer.error());
  }
  if (exists) {
    if (::fchmod(writer.file().fd(), old.st_mode & 07777) != 0) return winErrorFromErrno(errno);
    if (const int err = copyUserAttributes(target, writer.file().fd()); err != 0) return winErrorFromErrno(err);
  }
  if (!writer.write(bytes) || !writer.commit()) return winErrorFromErrno(writer.error());
  return kErrorSuccess;
}

}  // namespace tov::platform
