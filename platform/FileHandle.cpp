#include "platform/FileHandle.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <limits>
#include <string>

#include "platform/FileAttributes.h"
#include "platform/Path.h"
#include "platform/WinError.h"

namespace tov::platform {
namespace {

// Lock bytes used to publish share modes: a shared lock on "has" says this
// opener holds that access; a shared lock on "denies" says it refuses others
// that access. The offsets lie far past any file's data.
constexpr off_t kLockBase = std::numeric_limits<off_t>::max() - 16;
constexpr off_t kHasRead = kLockBase + 0;
constexpr off_t kHasWrite = kLockBase + 1;
constexpr off_t kDeniesRead = kLockBase + 2;
constexpr off_t kDeniesWrite = kLockBase + 3;

// True when another open file description holds any lock on the byte.
bool someoneHolds(int fd, off_t offset) {
  struct flock fl {};
  fl.l_type = F_WRLCK;
  fl.l_whence = SEEK_SET;
  fl.l_start = offset;
  fl.l_len = 1;
  if (fcntl(fd, F_OFD_GETLK, &fl) != 0) return false;  // no lock support: no sharing rules
  return fl.l_type != F_UNLCK;
}

bool publish(int fd, off_t offset) {
  struct flock fl {};
  fl.l_type = F_RDLCK;
  fl.l_whence = SEEK_SET;
  fl.l_start = offset;
  fl.l_len = 1;
  if (fcntl(fd, F_OFD_SETLK, &fl) == 0) return true;
  // A file system without record locks cannot carry share modes; the open
  // itself still succeeds, as it would on a share without lock support.
  return errno == EINVAL || errno == ENOLCK || errno == EOPNOTSUPP;
}

bool conflicts(int fd, std::uint32_t access, std::uint32_t shareMode) {
  const bool reads = access & kGenericRead;
  const bool writes = access & kGenericWrite;
  if (reads && someoneHolds(fd, kDeniesRead)) return true;
  if (writes && someoneHolds(fd, kDeniesWrite)) return true;
  if (!(shareMode & kFileShareRead) && someoneHolds(fd, kHasRead)) return true;
  if (!(shareMode & kFileShareWrite) && someoneHolds(fd, kHasWrite)) return true;
  return false;
}

bool publishShareMode(int fd, std::uint32_t access, std::uint32_t shareMode) {
  bool ok = true;
  if (access & kGenericRead) ok = ok && publish(fd, kHasRead);
  if (access & kGenericWrite) ok = ok && publish(fd, kHasWrite);
  if (!(shareMode & kFileShareRead)) ok = ok && publish(fd, kDeniesRead);
  if (!(shareMode & kFileShareWrite)) ok = ok && publish(fd, kDeniesWrite);
  return ok;
}

int openFlags(std::uint32_t access, CreateDisposition disposition) {
  // Non-blocking only for the open itself: a FIFO must not hang the caller.
  int flags = O_CLOEXEC | O_NONBLOCK;
  const bool reads = access & kGenericRead;
  const bool writes = access & kGenericWrite;
  // A lock on a file opened only for writing needs no read access, but an
  // open without any access right still needs some mode for the fd.
  flags |= (reads && writes) ? O_RDWR : writes ? O_WRONLY : O_RDONLY;
  switch (disposition) {
    case CreateDisposition::CreateNew: flags |= O_CREAT | O_EXCL; break;
    case CreateDisposition::CreateAlways: flags |= O_CREAT; break;
    case CreateDisposition::OpenExisting: break;
    case CreateDisposition::OpenAlways: flags |= O_CREAT; break;
    case CreateDisposition::TruncateExisting: break;
  }
  return flags;
}

bool isFileOrDirectory(const struct stat& st) { return S_ISREG(st.st_mode) || S_ISDIR(st.st_mode); }

}  // namespace

FileHandle::~FileHandle() { release(); }

void FileHandle::release() {
  if (lockFd_ >= 0) ::close(lockFd_);
  if (fd_ >= 0) ::close(fd_);
  lockFd_ = -1;
  fd_ = -1;
}

bool FileHandle::fail(int err) {
  error_ = err;
  SetLastError(winErrorFromErrno(err));
  return false;
}

FileHandle FileHandle::open(std::u16string_view name, std::uint32_t access, std::uint32_t shareMode,
                            CreateDisposition disposition, std::uint32_t flags) {
  return openNative(nativePath(name), access, shareMode, disposition, flags);
}

FileHandle FileHandle::openNative(const std::string& path, std::uint32_t access, std::uint32_t shareMode,
                                  CreateDisposition disposition, std::uint32_t flags) {
  const bool backup = flags & kFileFlagBackupSemantics;
  FileHandle h;
  if (path.empty()) {
    h.fail(ENOENT);
    return h;
  }
  if (!isUsablePath(path)) {
    h.error_ = EINVAL;
    SetLastError(kErrorInvalidName);
    return h;
  }
  struct stat st {};
  if (backup && ::stat(path.c_str(), &st) == 0 && !isFileOrDirectory(st)) {
    h.fail(EACCES);
    return h;
  }
  const int fd = ::open(path.c_str(), openFlags(access, disposition) | (backup ? O_NOCTTY : 0), 0666);
  if (fd < 0) {
    h.fail(errno);
    return h;
  }
  h.fd_ = fd;
  fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  if (fstat(fd, &st) == 0 && S_ISDIR(st.st_mode) && !backup) {
    h.release();
    h.fail(EISDIR);
    return h;
  }
  // The name may have been replaced by a device between the two looks.
  if (backup && !isFileOrDirectory(st)) {
    h.release();
    h.fail(EACCES);
    return h;
  }
  // The read-only attribute holds for everyone, administrators included.
  if ((access & kGenericWrite) && S_ISREG(st.st_mode) && ((st.st_mode & 0222) == 0 || readOnlyInRecord(fd))) {
    h.release();
    h.fail(EACCES);
    return h;
  }
  int lockFd = fd;
  if (!(access & kGenericRead)) {
    h.lockFd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    lockFd = h.lockFd_;
  }
  if (lockFd >= 0) {
    // Publish first, then look for conflicts: a lock never conflicts with
    // its own description, so of two openers that race, at least the later
    // one sees the other. Testing first would let both in, and two writers
    // that each refuse the other would write over each other's data.
    if (!publishShareMode(lockFd, access, shareMode)) {
      const int err = errno;
      h.release();
      h.fail(err);
      return h;
    }
    if (conflicts(lockFd, access, shareMode)) {
      h.release();
      h.error_ = EBUSY;
      SetLastError(kErrorSharingViolation);
      return h;
    }
  }
  // Truncation comes only after the share check, so a refused open never
  // empties a file someone else holds.
  const bool truncate = disposition == CreateDisposition::CreateAlways ||
                        disposition == CreateDisposition::TruncateExisting;
  if (truncate && S_ISREG(st.st_mode) && ftruncate(fd, 0) != 0) {
    const int err = errno;
    h.release();
    h.fail(err);
    return h;
  }
  SetLastError(kErrorSuccess);
  return h;
}

std::int64_t FileHandle::size() {
  struct stat st {};
  if (fstat(fd_, &st) != 0) {
    fail(errno);
    return -1;
  }
  return st.st_size;
}

bool FileHandle::readAt(std::int64_t offset, std::size_t length, ByteVector& out) {
  out.resize(length);
  std::size_t done = 0;
  while (done < length) {
    const ssize_t n = ::pread(fd_, out.data() + done, length - done, static_cast<off_t>(offset + done));
    if (n < 0) {
      if (errno == EINTR) continue;
      out.resize(done);
      return fail(errno);
    }
    if (n == 0) break;  // the file is shorter than it was
    done += static_cast<std::size_t>(n);
  }
  out.resize(done);
  return true;
}

bool FileHandle::readToEnd(ByteVector& out, std::int64_t limit) {
  out.clear();
  struct stat st {};
  if (fstat(fd_, &st) != 0) return fail(errno);
  if (st.st_size > limit) return fail(EFBIG);
  if (!readAt(0, static_cast<std::size_t>(st.st_size), out)) return false;
  if (!S_ISREG(st.st_mode) || out.size() < static_cast<std::size_t>(st.st_size)) return true;
  // Whatever lies past the reported size comes in pieces; in the usual case
  // one empty read says there is nothing.
  std::uint8_t chunk[1 << 16];
  for (;;) {
    const ssize_t n = ::pread(fd_, chunk, sizeof chunk, static_cast<off_t>(out.size()));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return fail(errno);
    if (n == 0) return true;
    if (static_cast<std::int64_t>(out.size()) + n > limit) return fail(EFBIG);
    out.insert(out.end(), chunk, chunk + n);
  }
}

bool FileHandle::writeAt(std::int64_t offset, std::span<const std::uint8_t> data) {
  std::size_t done = 0;
  while (done < data.size()) {
    const ssize_t n = ::pwrite(fd_, data.data() + done, data.size() - done, static_cast<off_t>(offset + done));
    if (n < 0) {
      if (errno == EINTR) continue;
      return fail(errno);
    }
    if (n == 0) return fail(EIO);
    done += static_cast<std::size_t>(n);
  }
  return true;
}

bool FileHandle::reserve(std::int64_t offset, std::int64_t length) {
  if (length <= 0) return true;
  if (::fallocate(fd_, FALLOC_FL_KEEP_SIZE, static_cast<off_t>(offset), static_cast<off_t>(length)) == 0) return true;
  if (errno == EOPNOTSUPP || errno == ENOSYS || errno == ENODEV || errno == ESPIPE) return true;
  return fail(errno);
}

bool FileHandle::truncate(std::int64_t length) {
  struct stat st {};
  if (fstat(fd_, &st) != 0) return fail(errno);
  if (!S_ISREG(st.st_mode)) return true;
  if (::ftruncate(fd_, static_cast<off_t>(length)) != 0) return fail(errno);
  return true;
}

bool FileHandle::close() {
  if (fd_ < 0) return true;
  if (lockFd_ >= 0) ::close(lockFd_);
  lockFd_ = -1;
  const int rc = ::close(fd_);
  fd_ = -1;
  if (rc != 0 && errno != EINTR) return fail(errno);
  return true;
}

bool FileHandle::wouldConflict(const std::string& path, std::uint32_t access, std::uint32_t shareMode) {
  if (!isUsablePath(path)) return false;
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return false;
  const bool result = conflicts(fd, access, shareMode);
  ::close(fd);
  return result;
}

}  // namespace tov::platform
