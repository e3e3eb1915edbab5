#include "platform/AlternateStream.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <optional>
#include <string_view>
#include <thread>
#include <vector>

#include "platform/CaseFold.h"
#include "platform/FileAttributes.h"
#include "platform/Path.h"

namespace tov::platform {
namespace {

constexpr std::string_view kPrefix = kStreamAttributePrefix;
constexpr std::string_view kSuffix = ":$DATA";
// Longest extended attribute name the file systems take.
constexpr std::size_t kMaxAttributeName = 255;

bool endsWithDataType(std::string_view text) {
  if (text.size() < kSuffix.size()) return false;
  return equalsIgnoreCase(fromNativePath(text.substr(text.size() - kSuffix.size())), u":$DATA");
}

// The attribute that holds the stream, found without regard to case; empty
// when the file has no such stream. errno-style result.
int findAttribute(const StreamPath& path, std::string& name) {
  name.clear();
  std::vector<char> list;
  for (;;) {
    const ssize_t size = ::listxattr(path.file.c_str(), nullptr, 0);
    if (size < 0) return errno == ENOTSUP ? 0 : errno;
    list.resize(static_cast<std::size_t>(size));
    const ssize_t got = ::listxattr(path.file.c_str(), list.data(), list.size());
    if (got >= 0) {
      list.resize(static_cast<std::size_t>(got));
      break;
    }
    if (errno != ERANGE) return errno;  // ERANGE: the list grew meanwhile
  }
  // A share may be set to store names without their type
  // ("user.DosStream.name"); such a stream is found too, after one stored
  // with it.
  const std::u16string wanted = fromNativePath(path.stream);
  for (std::size_t pos = 0; pos < list.size();) {
    const std::string_view entry(list.data() + pos);
    pos += entry.size() + 1;
    if (entry.size() <= kPrefix.size() || !entry.starts_with(kPrefix)) continue;
    std::string_view stream = entry.substr(kPrefix.size());
    const bool typed = stream.size() > kSuffix.size() && stream.ends_with(kSuffix);
    if (typed) stream.remove_suffix(kSuffix.size());
    if (stream.find(':') != std::string_view::npos || !equalsIgnoreCase(fromNativePath(stream), wanted)) continue;
    if (typed || name.empty()) name = entry;
    if (typed) return 0;
  }
  return 0;
}

int readAttribute(const std::string& file, const std::string& name, ByteVector& out) {
  for (;;) {
    const ssize_t size = ::getxattr(file.c_str(), name.c_str(), nullptr, 0);
    if (size < 0) return errno == ENODATA ? ENOENT : errno;
    out.resize(static_cast<std::size_t>(size));
    const ssize_t got = ::getxattr(file.c_str(), name.c_str(), out.data(), out.size());
    if (got >= 0) {
      out.resize(static_cast<std::size_t>(got));
      break;
    }
    if (errno != ERANGE) return errno == ENODATA ? ENOENT : errno;
  }
  // The stored NUL is not part of the stream; a value written without one
  // (by some other tool) loses nothing.
  if (!out.empty() && out.back() == 0) out.pop_back();
  return 0;
}

// Writers of one file's streams take turns through a lock on the file, so
// an append never reads a value another writer is about to replace. The
// lock is held for one attribute read and write; a holder that keeps it far
// longer is not one of ours, and waiting for it is given up.
class StreamLock {
 public:
  explicit StreamLock(const std::string& file)
      : fd_(::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY)) {}
  ~StreamLock() {
    if (fd_ >= 0) ::close(fd_);
  }
  StreamLock(const StreamLock&) = delete;
  StreamLock& operator=(const StreamLock&) = delete;

  // 0, or EBUSY when the lock stayed taken. A file that cannot be opened
  // for reading is written without taking turns.
  int acquire() {
    if (fd_ < 0) return 0;
    for (int attempt = 0; attempt < 2000; ++attempt) {
      if (::flock(fd_, LOCK_EX | LOCK_NB) == 0) return 0;
      if (errno != EWOULDBLOCK && errno != EINTR) return 0;  // no locks here: nothing to take turns on
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return EBUSY;
  }

 private:
  int fd_;
};

}  // namespace

int resolveStreamPath(const std::string& path, StreamPath& out) {
  out = StreamPath{path, {}};
  if (!isUsablePath(path)) return EINVAL;
  const std::size_t slash = path.rfind('/');
  const std::size_t start = slash == std::string::npos ? 0 : slash + 1;
  const std::size_t colon = path.find(':', start);
  if (colon == std::string::npos) return 0;
  struct stat st {};
  if (::lstat(path.c_str(), &st) == 0) return 0;  // a file whose own name holds the colon

  std::string stream = path.substr(colon + 1);
  const bool typed = endsWithDataType(stream);
  if (typed) stream.resize(stream.size() - kSuffix.size());
  if (colon == start || stream.find(':') != std::string::npos || (stream.empty() && !typed)) return EINVAL;
  if (kPrefix.size() + stream.size() + kSuffix.size() > kMaxAttributeName) return ENAMETOOLONG;
  out.file = path.substr(0, colon);
  out.stream = std::move(stream);
  return 0;
}

int readStream(const StreamPath& path, ByteVector& out) {
  out.clear();
  std::string name;
  if (const int err = findAttribute(path, name); err != 0) return err;
  if (name.empty()) return ENOENT;
  return readAttribute(path.file, name, out);
}

bool streamExists(const StreamPath& path) {
  std::string name;
  return findAttribute(path, name) == 0 && !name.empty();
}

int writeStream(const StreamPath& path, std::span<const std::uint8_t> bytes, StreamWrite how) {
  struct stat st {};
  if (::stat(path.file.c_str(), &st) != 0) return errno;
  // Only files and folders carry streams (the kernel keeps user attributes
  // off devices and pipes, and opening a pipe to lock it would disturb it).
  if (!S_ISREG(st.st_mode) && !S_ISDIR(st.st_mode)) return EPERM;
  // The read-only attribute covers a file's streams too, administrators
  // included (the kernel would let root through).
  if (S_ISREG(st.st_mode) && ((st.st_mode & 0222) == 0 || readOnlyInRecord(path.file))) return EACCES;

  StreamLock lock(path.file);
  if (const int err = lock.acquire(); err != 0) return err;
  std::string name;
  if (const int err = findAttribute(path, name); err != 0) return err;
  if (name.empty()) name = std::string(kPrefix) + path.stream + std::string(kSuffix);

  ByteVector value;
  if (how == StreamWrite::Append) {
    const int err = readAttribute(path.file, name, value);
    if (err != 0 && err != ENOENT) return err;
  }
  value.insert(value.end(), bytes.begin(), bytes.end());
  value.push_back(0);
  if (::setxattr(path.file.c_str(), name.c_str(), value.data(), value.size(), 0) != 0) return errno;
  return 0;
}

}  // namespace tov::platform
