// Images read at an offset of their own through pread, so one open file
// serves any number of readers without a shared position.
#include <unistd.h>

#include <cerrno>

#include "platform/ImageBytes.h"

namespace tov::platform {

bool FileImageBytes::readFromFile(std::uint64_t offset, std::span<std::uint8_t> out) {
  std::size_t done = 0;
  while (done < out.size()) {
    const ssize_t n = ::pread(fd_, out.data() + done, out.size() - done, static_cast<off_t>(offset + done));
    if (n < 0) {
      if (errno == EINTR) continue;
      error_ = errno;
      return false;
    }
    if (n == 0) {
      // Shorter than it was when measured: what is missing is not there.
      error_ = EIO;
      return false;
    }
    done += static_cast<std::size_t>(n);
  }
  return true;
}

}  // namespace tov::platform
