#include "support/XmlFileReader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <new>
#include <vector>

#include "platform/AlternateStream.h"

namespace tov {
namespace {

class Descriptor {
 public:
  explicit Descriptor(int fd) : fd_(fd) {}
  ~Descriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  int get() const { return fd_; }

 private:
  int fd_;
};

XmlLoadError tooLarge() {
  return XmlLoadError::fromReason(
      u"The file is too large to load: files of 2 GiB or more are not supported.");
}

// Reads up to `size` bytes; the count read, or -1 with errno set.
ssize_t readFully(int fd, std::uint8_t* out, std::size_t size) {
  std::size_t done = 0;
  while (done < size) {
    const ssize_t n = ::read(fd, out + done, size - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return -1;
    if (n == 0) break;
    done += static_cast<std::size_t>(n);
  }
  return static_cast<ssize_t>(done);
}

// A regular file is read in one go into memory of its size; a file that
// grows meanwhile is read as it was when opened.
XmlFileReader::Result readRegular(int fd, std::uint64_t size) {
  XmlFileReader::Result result;
  result.bytes = XmlBuffer(static_cast<std::size_t>(size));
  const ssize_t n = readFully(fd, result.bytes.data(), result.bytes.size());
  if (n < 0)
    result.error = XmlLoadError::fromSystemError(errno);
  else
    result.bytes.truncate(static_cast<std::size_t>(n));
  return result;
}

// Generated files (size 0) tell no true size: read in chunks up to the
// limit.
XmlFileReader::Result readStream(int fd) {
  XmlFileReader::Result result;
  std::vector<std::uint8_t> bytes;
  constexpr std::size_t kChunk = 1 << 16;
  for (;;) {
    const std::size_t old = bytes.size();
    bytes.resize(old + kChunk);
    const ssize_t n = readFully(fd, bytes.data() + old, kChunk);
    if (n < 0) {
      result.error = XmlLoadError::fromSystemError(errno);
      return result;
    }
    bytes.resize(old + static_cast<std::size_t>(n));
    if (bytes.size() >= XmlFileReader::kSizeLimit) {
      result.error = tooLarge();
      return result;
    }
    if (static_cast<std::size_t>(n) < kChunk) break;
  }
  result.bytes = XmlBuffer(bytes.size());
  if (!bytes.empty()) std::memcpy(result.bytes.data(), bytes.data(), bytes.size());
  return result;
}

// A stream of a file ("log.xml:copy") is read whole at once.
XmlFileReader::Result readFileStream(const platform::StreamPath& path) {
  XmlFileReader::Result result;
  ByteVector bytes;
  if (const int err = platform::readStream(path, bytes); err != 0) {
    result.error = XmlLoadError::fromSystemError(err);
    return result;
  }
  result.bytes = XmlBuffer(bytes.size());
  if (!bytes.empty()) std::memcpy(result.bytes.data(), bytes.data(), bytes.size());
  return result;
}

// A pipe never ends while its writer lives and a device like /dev/zero never
// ends at all: neither is a log.
XmlLoadError notAFile() {
  return XmlLoadError::fromReason(u"The name is a device, pipe or socket, not a file: only files can be loaded.");
}

}  // namespace

XmlFileReader::Result XmlFileReader::read(const std::string& path) {
  Result result;
  platform::StreamPath target;
  if (const int err = platform::resolveStreamPath(path, target); err != 0) {
    result.error = XmlLoadError::fromSystemError(err);
    return result;
  }
  if (target.isStream()) return readFileStream(target);
  // Opening does not wait for a FIFO's writer; what is not a file is
  // refused before anything is read from it.
  Descriptor file(::open(target.file.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
  struct stat info {};
  if (file.get() < 0 || ::fstat(file.get(), &info) != 0) {
    result.error = XmlLoadError::fromSystemError(errno);
    return result;
  }
  if (S_ISDIR(info.st_mode)) {
    result.error = XmlLoadError::fromSystemError(EISDIR);
    return result;
  }
  if (!S_ISREG(info.st_mode)) {
    result.error = notAFile();
    return result;
  }
  try {
    if (info.st_size == 0) return readStream(file.get());
    if (static_cast<std::uint64_t>(info.st_size) >= kSizeLimit) {
      result.error = tooLarge();
      return result;
    }
    return readRegular(file.get(), static_cast<std::uint64_t>(info.st_size));
  } catch (const std::bad_alloc&) {
    result.error = XmlLoadError::fromSystemError(ENOMEM);
    return result;
  }
}

}  // namespace tov
