#include "platform/FileAttributes.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/AlternateStream.h"
#include "platform/Path.h"
#include "platform/WinError.h"

namespace tov::platform {
namespace {

constexpr const char* kDosAttribName = kDosAttributesName;
constexpr std::uint32_t kStoredAttributes =
    kFileAttributeHidden | kFileAttributeSystem | kFileAttributeArchive;

// The value of a name's extended attribute, the name taken from an open
// directory so a walk does not resolve the whole path again for each entry
// (getxattrat, Linux 6.13; before it, through the directory's /proc entry).
ssize_t readEntryAttribute(int dirFd, const char* name, const char* attribute, char* buf, std::size_t size) {
  auto byPath = [&] {
    if (dirFd == AT_FDCWD) return lgetxattr(name, attribute, buf, size);
    const std::string path = "/proc/self/fd/" + std::to_string(dirFd) + "/" + name;
    return lgetxattr(path.c_str(), attribute, buf, size);
  };
#if defined(__linux__) && (defined(__x86_64__) || defined(__aarch64__))
  static std::atomic<bool> available{true};
  if (available.load(std::memory_order_relaxed)) {
    struct {
      std::uint64_t value;
      std::uint32_t size;
      std::uint32_t flags;
    } args{reinterpret_cast<std::uintptr_t>(buf), static_cast<std::uint32_t>(size), 0};
    constexpr long kGetXattrAt = 464;
    const long n = syscall(kGetXattrAt, dirFd, name, AT_SYMLINK_NOFOLLOW, attribute, &args, sizeof args);
    if (n >= 0 || (errno != ENOSYS && errno != EPERM)) return n;
    // An older kernel, or a filter that refuses calls it does not know
    // (EPERM): the path form decides, and only a real EPERM keeps trying.
    const int refused = errno;
    const ssize_t viaPath = byPath();
    if (refused == ENOSYS || viaPath >= 0 || errno != EPERM) available.store(false, std::memory_order_relaxed);
    return viaPath;
  }
#endif
  return byPath();
}

bool storedDosAttributes(int dirFd, const char* name, std::uint32_t& out) {
  char buf[64];
  const ssize_t n = readEntryAttribute(dirFd, name, kDosAttribName, buf, sizeof buf - 1);
  if (n <= 0) return false;
  buf[n] = '\0';
  char* end = nullptr;
  const unsigned long v = std::strtoul(buf, &end, 16);
  if (end == buf) return false;
  out = static_cast<std::uint32_t>(v) & kStoredAttributes;
  return true;
}

std::string_view baseName(std::string_view path) {
  while (path.size() > 1 && path.back() == '/') path.remove_suffix(1);
  const auto slash = path.rfind('/');
  return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

bool failWith(int err) {
  SetLastError(winErrorFromErrno(err));
  return false;
}

bool failInvalidName() {
  SetLastError(kErrorInvalidName);
  return false;
}

}  // namespace

std::uint32_t getFileAttributesNative(const std::string& path) {
  struct statx st {};
  if (!isUsablePath(path)) {
    SetLastError(kErrorInvalidName);
    return kInvalidFileAttributes;
  }
  if (path.empty() || statx(AT_FDCWD, path.c_str(), AT_SYMLINK_NOFOLLOW, STATX_TYPE | STATX_MODE, &st) != 0) {
    SetLastError(winErrorFromErrno(path.empty() ? ENOENT : errno));
    return kInvalidFileAttributes;
  }
  const std::uint32_t attrs =
      attributesOfEntry(AT_FDCWD, path.c_str(), st.stx_mode, st.stx_attributes & st.stx_attributes_mask);
  SetLastError(kErrorSuccess);
  return attrs;
}

std::uint32_t attributesOfEntry(int dirFd, const char* name, std::uint32_t mode, std::uint64_t statxAttributes) {
  std::uint32_t attrs = 0;
  if (S_ISLNK(mode)) {
    attrs |= kFileAttributeReparsePoint;
    struct stat target {};
    if (fstatat(dirFd, name, &target, 0) == 0 && S_ISDIR(target.st_mode)) attrs |= kFileAttributeDirectory;
  } else if (S_ISDIR(mode)) {
    attrs |= kFileAttributeDirectory;
  } else if (S_ISCHR(mode) || S_ISBLK(mode)) {
    attrs |= kFileAttributeDevice;
  }
  if ((mode & 0222) == 0 && !S_ISLNK(mode)) attrs |= kFileAttributeReadOnly;
  if (statxAttributes & STATX_ATTR_COMPRESSED) attrs |= kFileAttributeCompressed;
  if (statxAttributes & STATX_ATTR_ENCRYPTED) attrs |= kFileAttributeEncrypted;

  std::uint32_t stored = 0;
  if (storedDosAttributes(dirFd, name, stored)) {
    attrs |= stored;
  } else if (S_ISREG(mode)) {
    attrs |= kFileAttributeArchive;  // a file nobody marked counts as changed since backup
  }
  const std::string_view base = baseName(name);
  if (base.size() > 1 && base[0] == '.' && base != "..") attrs |= kFileAttributeHidden;
  if (attrs == 0) attrs = kFileAttributeNormal;
  return attrs;
}

std::uint32_t GetFileAttributesW(std::u16string_view name) {
  return getFileAttributesNative(nativePath(name));
}

bool SetFileAttributesW(std::u16string_view name, std::uint32_t attributes) {
  const std::string path = nativePath(name);
  struct stat st {};
  if (!isUsablePath(path)) return failInvalidName();
  if (path.empty() || stat(path.c_str(), &st) != 0) return failWith(path.empty() ? ENOENT : errno);

  mode_t mode = st.st_mode & 07777;
  if (attributes & kFileAttributeReadOnly) {
    mode &= ~static_cast<mode_t>(0222);
  } else if ((mode & 0222) == 0) {
    mode |= 0200 | ((mode & 0040) ? 0020 : 0) | ((mode & 0004) ? 0002 : 0);
  }
  if (mode != (st.st_mode & 07777) && chmod(path.c_str(), mode) != 0) return failWith(errno);

  const std::uint32_t stored = attributes & kStoredAttributes;
  char text[16];
  std::snprintf(text, sizeof text, "0x%x", stored);
  if (setxattr(path.c_str(), kDosAttribName, text, std::char_traits<char>::length(text), 0) != 0) {
    const int err = errno;
    // Without extended attributes only the defaults can be represented.
    const std::uint32_t implied = S_ISREG(st.st_mode) ? kFileAttributeArchive : 0;
    if ((err == ENOTSUP || err == EPERM) && (stored & ~kFileAttributeHidden) == implied) {
      SetLastError(kErrorSuccess);
      return true;
    }
    return failWith(err);
  }
  SetLastError(kErrorSuccess);
  return true;
}

bool DeleteFileW(std::u16string_view name) {
  const std::string path = nativePath(name);
  struct stat st {};
  if (!isUsablePath(path)) return failInvalidName();
  if (path.empty() || lstat(path.c_str(), &st) != 0) return failWith(path.empty() ? ENOENT : errno);
  if (S_ISDIR(st.st_mode)) return failWith(EACCES);
  if (!S_ISLNK(st.st_mode) && (st.st_mode & 0222) == 0) return failWith(EACCES);
  if (unlink(path.c_str()) != 0) return failWith(errno);
  SetLastError(kErrorSuccess);
  return true;
}

// Both follow the colon rule: "file:stream" exists when the file has the
// stream.
bool pathExists(std::u16string_view name) {
  StreamPath path;
  if (resolveStreamPath(nativePath(name), path) != 0 || path.file.empty()) return false;
  if (path.isStream()) return streamExists(path);
  struct stat st {};
  return stat(path.file.c_str(), &st) == 0;
}

bool fileExists(std::u16string_view name) {
  StreamPath path;
  if (resolveStreamPath(nativePath(name), path) != 0 || path.file.empty()) return false;
  if (path.isStream()) return streamExists(path);
  struct stat st {};
  return stat(path.file.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

}  // namespace tov::platform
