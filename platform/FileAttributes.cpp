#include "platform/FileAttributes.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <linux/limits.h>
#include <optional>
#include <string>
#include <vector>

#include "platform/AlternateStream.h"
#include "platform/DosAttributeRecord.h"
#include "platform/Path.h"
#include "platform/WinError.h"

namespace tov::platform {
namespace {

constexpr const char* kDosAttribName = kDosAttributesName;
// What the record keeps: everything a caller may set. Read-only is kept
// there as well as in the write bits, because a server that shares the
// directory takes it from the record and leaves the bits alone.
constexpr std::uint32_t kStoredAttributes = kFileAttributeReadOnly | kFileAttributeHidden | kFileAttributeSystem |
                                            kFileAttributeArchive | kFileAttributeTemporary |
                                            kFileAttributeOffline | kFileAttributeNotContentIndexed;
// Room for every record but an old one with a long name, which takes a
// second read.
constexpr std::size_t kRecordBuffer = 256;

// The record's value; no value when there is none (or it cannot be read).
std::optional<std::vector<std::uint8_t>> dosAttributeBytes(const std::string& path, bool followLinks) {
  auto get = followLinks ? ::getxattr : ::lgetxattr;
  std::vector<std::uint8_t> value(kRecordBuffer);
  ssize_t n = get(path.c_str(), kDosAttribName, value.data(), value.size());
  if (n < 0 && errno == ERANGE) {
    value.resize(XATTR_SIZE_MAX);
    n = get(path.c_str(), kDosAttribName, value.data(), value.size());
  }
  if (n < 0) return std::nullopt;
  value.resize(static_cast<std::size_t>(n));
  return value;
}

// The file creation mask, read without changing it (umask() would, for a
// moment, for every thread); the common 022 when it cannot be read.
mode_t creationMask() {
  std::FILE* status = std::fopen("/proc/self/status", "re");
  if (status == nullptr) return 022;
  mode_t mask = 022;
  char line[256];
  unsigned value = 0;
  while (std::fgets(line, sizeof line, status) != nullptr) {
    if (std::sscanf(line, "Umask: %o", &value) == 1) {
      mask = static_cast<mode_t>(value) & 0777;
      break;
    }
  }
  std::fclose(status);
  return mask;
}

bool readOnlyIn(const std::optional<std::vector<std::uint8_t>>& value) {
  if (!value) return false;
  const auto record = parseDosAttributeRecord(*value);
  return record && record->hasAttributes && (record->attributes & kFileAttributeReadOnly) != 0;
}

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

// The attributes the entry's record stores, if it stores any; the creation
// time it keeps goes to `creationTime` either way (0 for none).
bool storedDosAttributes(int dirFd, const char* name, std::uint32_t& out, std::uint64_t& creationTime) {
  creationTime = 0;
  std::vector<std::uint8_t> value(kRecordBuffer);
  auto* buf = reinterpret_cast<char*>(value.data());
  ssize_t n = readEntryAttribute(dirFd, name, kDosAttribName, buf, value.size());
  if (n < 0 && errno == ERANGE) {
    value.resize(XATTR_SIZE_MAX);
    buf = reinterpret_cast<char*>(value.data());
    n = readEntryAttribute(dirFd, name, kDosAttribName, buf, value.size());
  }
  if (n <= 0) return false;
  value.resize(static_cast<std::size_t>(n));
  const auto record = parseDosAttributeRecord(value);
  if (!record) return false;
  creationTime = record->creationTime;
  if (!record->hasAttributes) return false;
  out = record->attributes & kStoredAttributes;
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

bool readOnlyInRecord(const std::string& path) { return readOnlyIn(dosAttributeBytes(path, true)); }

bool readOnlyInRecord(int fd) {
  std::vector<std::uint8_t> value(kRecordBuffer);
  ssize_t n = fgetxattr(fd, kDosAttribName, value.data(), value.size());
  if (n < 0 && errno == ERANGE) {
    value.resize(XATTR_SIZE_MAX);
    n = fgetxattr(fd, kDosAttribName, value.data(), value.size());
  }
  if (n < 0) return false;
  value.resize(static_cast<std::size_t>(n));
  return readOnlyIn(value);
}

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

std::uint32_t attributesOfEntry(int dirFd, const char* name, std::uint32_t mode, std::uint64_t statxAttributes,
                                std::uint64_t* recordCreationTime) {
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
  std::uint64_t creationTime = 0;
  const bool hasStored = storedDosAttributes(dirFd, name, stored, creationTime);
  if (recordCreationTime != nullptr) *recordCreationTime = creationTime;
  if (hasStored) {
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

  const mode_t oldMode = st.st_mode & 07777;
  mode_t mode = oldMode;
  if (attributes & kFileAttributeReadOnly) {
    mode &= ~static_cast<mode_t>(0222);
  } else if ((mode & 0222) == 0) {
    // Write goes back to the owner, and to those who may read only as far
    // as the process's file creation mask lets a new file be written by
    // them: clearing the mark must not open the file to everyone.
    mode |= 0200 | (((mode & 0044) >> 1) & ~creationMask());
  }
  // A record a client left (with the creation time it set) is rewritten in
  // its own form; a server stores the directory bit with a directory's.
  const auto oldValue = dosAttributeBytes(path, true);
  const auto oldRecord = oldValue ? parseDosAttributeRecord(*oldValue) : std::nullopt;
  const std::uint32_t stored = (attributes & kStoredAttributes) | (S_ISDIR(st.st_mode) ? kFileAttributeDirectory : 0);
  const std::vector<std::uint8_t> value = dosAttributeValue(oldRecord, stored);

  // The record goes first when the write bits are taken away (a user who is
  // not root can no longer change the attributes of a file without them),
  // and after they are given back. Either step failing undoes the other.
  const bool bitsFirst = (mode & 0222) != 0;
  if (bitsFirst && mode != oldMode && chmod(path.c_str(), mode) != 0) return failWith(errno);
  if (setxattr(path.c_str(), kDosAttribName, value.data(), value.size(), 0) != 0) {
    const int err = errno;
    // Without extended attributes (a file system without them, a pipe or
    // a device) only what the name and the write bits say can be
    // represented: hidden only for a dot-name.
    const std::uint32_t implied = S_ISREG(st.st_mode) ? kFileAttributeArchive : 0;
    const std::string_view base = baseName(path);
    const bool dotName = base.size() > 1 && base[0] == '.' && base != "..";
    const std::uint32_t represented =
        kFileAttributeReadOnly | kFileAttributeDirectory | (dotName ? kFileAttributeHidden : 0);
    if ((err == ENOTSUP || err == EPERM) && (stored & ~represented) == implied) {
      if (!bitsFirst && mode != oldMode && chmod(path.c_str(), mode) != 0) return failWith(errno);
      SetLastError(kErrorSuccess);
      return true;
    }
    if (bitsFirst && mode != oldMode) chmod(path.c_str(), oldMode);
    return failWith(err);
  }
  if (!bitsFirst && mode != oldMode && chmod(path.c_str(), mode) != 0) {
    const int err = errno;
    if (oldValue) {
      setxattr(path.c_str(), kDosAttribName, oldValue->data(), oldValue->size(), 0);
    } else {
      removexattr(path.c_str(), kDosAttribName);
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
  if (!S_ISLNK(st.st_mode) && ((st.st_mode & 0222) == 0 || readOnlyInRecord(path))) return failWith(EACCES);
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
