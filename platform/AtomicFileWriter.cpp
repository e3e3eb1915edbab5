#include "platform/AtomicFileWriter.h"

#include <fcntl.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <random>
#include <string_view>
#include <vector>

#include "platform/FileAttributes.h"
#include "platform/Path.h"
#include "platform/WinError.h"

namespace tov::platform {
namespace {

// As many links as the kernel follows before it gives up with ELOOP.
constexpr int kMaxLinkHops = 40;
constexpr const char* kAclAttribute = "system.posix_acl_access";

std::string directoryOf(const std::string& path) {
  const auto slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

// The kernel's rule for links in sticky folders that everyone may write
// (such as /tmp): a link there is followed only when it belongs to the
// follower or to the folder's owner, so another user's link cannot aim a
// write at the follower's files. Links are followed here by hand, so the
// rule is applied by hand too.
bool mayFollow(const std::string& link, const struct stat& linkStatus) {
  struct stat dir {};
  if (::stat(directoryOf(link).c_str(), &dir) != 0) return true;
  const bool shared = (dir.st_mode & S_ISVTX) && (dir.st_mode & S_IWOTH);
  return !shared || linkStatus.st_uid == ::geteuid() || linkStatus.st_uid == dir.st_uid;
}

// Follows symbolic links to the file the content must reach. A link to a
// missing file leads to the name the new file gets, as cp does.
int followLinks(const std::string& path, std::string& target) {
  target = path;
  for (int hop = 0; hop < kMaxLinkHops; ++hop) {
    struct stat st {};
    if (::lstat(target.c_str(), &st) != 0) return errno == ENOENT ? 0 : errno;
    if (!S_ISLNK(st.st_mode)) return 0;
    if (!mayFollow(target, st)) return EACCES;
    char buf[PATH_MAX];
    const ssize_t n = ::readlink(target.c_str(), buf, sizeof buf);
    if (n < 0) return errno;
    if (n == 0 || static_cast<std::size_t>(n) >= sizeof buf) return ENAMETOOLONG;
    std::string next(buf, static_cast<std::size_t>(n));
    if (next.front() != '/') {
      const auto slash = target.rfind('/');
      if (slash != std::string::npos) next = target.substr(0, slash + 1) + next;
    }
    target = std::move(next);
  }
  return ELOOP;
}

// A name of its own, short, so that a target of the longest name a
// directory takes still gets a temporary file beside it. Hidden and clearly
// temporary, so a crash leaves an obvious stray file.
std::string temporaryName(const std::string& target) {
  static thread_local std::mt19937 rng{std::random_device{}()};
  char name[32];
  std::snprintf(name, sizeof name, ".tov%08x.tmp", static_cast<unsigned>(rng()));
  const auto slash = target.rfind('/');
  return slash == std::string::npos ? std::string(name) : target.substr(0, slash + 1) + name;
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

// Copies one extended attribute; a missing one is nothing to copy.
int copyAttribute(const std::string& from, int toFd, const std::string& name) {
  const ssize_t size = ::getxattr(from.c_str(), name.c_str(), nullptr, 0);
  if (size < 0) return (errno == ENODATA || errno == ENOTSUP) ? 0 : errno;
  std::vector<char> value(static_cast<std::size_t>(size));
  const ssize_t got = ::getxattr(from.c_str(), name.c_str(), value.data(), value.size());
  if (got < 0) return errno;
  if (::fsetxattr(toFd, name.c_str(), value.data(), static_cast<std::size_t>(got), 0) != 0) return errno;
  return 0;
}

bool writeSequential(int fd, std::span<const std::uint8_t> data, int& err) {
  std::size_t done = 0;
  while (done < data.size()) {
    const ssize_t n = ::write(fd, data.data() + done, data.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      err = n < 0 ? errno : EIO;
      return false;
    }
    done += static_cast<std::size_t>(n);
  }
  return true;
}

// Makes a rename in the directory durable. A file system that cannot flush
// a directory says so with EINVAL; by then the new content is in place and
// reporting a failure would only make the caller believe the old one is.
void flushDirectory(const std::string& dir) {
  const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

}  // namespace

AtomicFileWriter::AtomicFileWriter(std::string targetPath, Keep keep) : target_(std::move(targetPath)), keep_(keep) {
  openTarget();
  if (error_ != 0) fail(error_);
}

AtomicFileWriter::~AtomicFileWriter() {
  if (throughFd_ >= 0) ::close(throughFd_);
  if (!committed_ && !temp_.empty()) {
    file_.close();
    ::unlink(temp_.c_str());
  }
}

bool AtomicFileWriter::fail(int err) {
  if (error_ == 0) error_ = err;
  SetLastError(error_ == EBUSY ? kErrorSharingViolation : winErrorFromErrno(error_));
  return false;
}

void AtomicFileWriter::openTarget() {
  if (target_.empty() || target_.back() == '/') {
    fail(target_.empty() ? ENOENT : EISDIR);
    return;
  }
  if (!isUsablePath(target_)) {
    fail(EINVAL);
    return;
  }
  std::string followed;
  if (const int err = followLinks(target_, followed); err != 0) {
    fail(err);
    return;
  }
  target_ = std::move(followed);
  exists_ = ::stat(target_.c_str(), &old_) == 0;
  if (!exists_) {
    if (errno != ENOENT) fail(errno);
    else openTemporary();
    return;
  }
  if (S_ISDIR(old_.st_mode)) {
    fail(EISDIR);
    return;
  }
  if (S_ISCHR(old_.st_mode) || S_ISBLK(old_.st_mode) || S_ISFIFO(old_.st_mode)) {
    openWriteThrough();
    return;
  }
  if (!S_ISREG(old_.st_mode)) {
    fail(EACCES);  // a socket: there is no content to replace
    return;
  }
  // The file's own protection decides, read-only included (root's access()
  // would ignore the missing write bits).
  if ((old_.st_mode & 0222) == 0 || readOnlyInRecord(target_) || ::access(target_.c_str(), W_OK) != 0) {
    fail(EACCES);
    return;
  }
  if (FileHandle::wouldConflict(target_, kGenericWrite, kFileShareRead)) {
    fail(EBUSY);
    return;
  }
  // In a sticky directory (such as /tmp) only the owners may rename over
  // another user's file; the others may still write it.
  struct stat dir {};
  const bool sticky = ::stat(directoryOf(target_).c_str(), &dir) == 0 && (dir.st_mode & S_ISVTX) &&
                      ::geteuid() != 0 && old_.st_uid != ::geteuid() && dir.st_uid != ::geteuid();
  if (sticky) {
    openInPlace();
    return;
  }
  if (!openTemporary()) {
    // A directory that takes no new files: the content can only go into
    // the file itself.
    if (error_ == EACCES || error_ == EPERM) {
      error_ = 0;
      openInPlace();
    }
    return;
  }
  takeOverFromOld();
}

bool AtomicFileWriter::openTemporary() {
  for (int attempt = 0; attempt < 16; ++attempt) {
    temp_ = temporaryName(target_);
    file_ = FileHandle::openNative(temp_, kGenericWrite, kFileShareRead, CreateDisposition::CreateNew);
    if (file_.valid()) return true;
    if (file_.error() != EEXIST) break;
  }
  temp_.clear();
  return fail(file_.error());
}

bool AtomicFileWriter::openInPlace() {
  mode_ = Mode::InPlace;
  file_ = FileHandle::openNative(target_, kGenericWrite, kFileShareRead, CreateDisposition::OpenExisting);
  return file_.valid() || fail(file_.error());
}

bool AtomicFileWriter::openWriteThrough() {
  mode_ = Mode::WriteThrough;
  // Non-blocking for the open only: a FIFO without a reader fails (ENXIO)
  // instead of hanging the caller.
  throughFd_ = ::open(target_.c_str(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (throughFd_ < 0) return fail(errno);
  ::fcntl(throughFd_, F_SETFL, ::fcntl(throughFd_, F_GETFL) & ~O_NONBLOCK);
  return true;
}

// The new file takes the old one's place in every respect the caller can
// see: owner and group first (changing them clears set-id bits), then the
// permission bits and ACL, then on request the user attributes.
bool AtomicFileWriter::takeOverFromOld() {
  const int fd = file_.fd();
  if (::fchown(fd, old_.st_uid, old_.st_gid) != 0) {
    // Not allowed to give the file away: keep at least the group if ours.
    [[maybe_unused]] const int ignored = ::fchown(fd, static_cast<uid_t>(-1), old_.st_gid);
  }
  if (::fchmod(fd, old_.st_mode & 0777) != 0) return fail(errno);
  if (const int err = copyAttribute(target_, fd, kAclAttribute); err != 0) return fail(err);
  if (keep_ == Keep::PermissionsAndAttributes) {
    for (const std::string& name : userAttributeNames(target_)) {
      if (const int err = copyAttribute(target_, fd, name); err != 0) return fail(err);
    }
  }
  return true;
}

bool AtomicFileWriter::write(std::span<const std::uint8_t> data) {
  if (error_ != 0) return fail(error_);
  switch (mode_) {
    case Mode::Replace:
      if (!file_.writeAt(written_, data)) return fail(file_.error());
      break;
    case Mode::InPlace:
      pending_.insert(pending_.end(), data.begin(), data.end());
      break;
    case Mode::WriteThrough: {
      int err = 0;
      if (!writeSequential(throughFd_, data, err)) return fail(err);
      break;
    }
  }
  written_ += static_cast<std::int64_t>(data.size());
  return true;
}

bool AtomicFileWriter::commit() {
  if (error_ != 0) return fail(error_);
  bool ok = true;
  switch (mode_) {
    case Mode::Replace: ok = commitReplace(); break;
    case Mode::InPlace: ok = commitInPlace(); break;
    case Mode::WriteThrough: {
      const int rc = ::close(throughFd_);
      throughFd_ = -1;
      if (rc != 0 && errno != EINTR) ok = fail(errno);
      break;
    }
  }
  if (!ok) return false;
  committed_ = true;
  SetLastError(kErrorSuccess);
  return true;
}

bool AtomicFileWriter::commitReplace() {
  // Old content is only given up for new content that is on the disk.
  if (exists_ && ::fsync(file_.fd()) != 0) return fail(errno);
  if (!file_.close()) return fail(file_.error());
  if (::rename(temp_.c_str(), target_.c_str()) != 0) return fail(errno);
  temp_.clear();
  if (exists_) flushDirectory(directoryOf(target_));
  return true;
}

bool AtomicFileWriter::commitInPlace() {
  if (!file_.reserve(0, written_)) return fail(file_.error());
  if (!file_.writeAt(0, pending_) || !file_.truncate(written_)) return fail(file_.error());
  if (::fsync(file_.fd()) != 0) return fail(errno);
  ByteVector().swap(pending_);
  return file_.close() || fail(file_.error());
}

int AtomicFileWriter::replace(const std::string& targetPath, std::span<const std::uint8_t> bytes, Keep keep) {
  AtomicFileWriter writer(targetPath, keep);
  if (writer.write(bytes) && writer.commit()) return 0;
  return writer.error();
}

}  // namespace tov::platform
