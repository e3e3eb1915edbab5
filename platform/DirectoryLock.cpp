// The lock is a flock on the directory itself, which stays while the files
// in it are replaced.
#include "platform/DirectoryLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <string>
#include <thread>

#include "platform/Path.h"

namespace tov::platform {

DirectoryLock::DirectoryLock(std::u16string_view directory, Mode mode) {
  const std::string path = directory.empty() ? std::string(".") : nativePath(directory);
  const int fd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  handle_ = fd;
  const int operation = mode == Mode::Shared ? LOCK_SH : LOCK_EX;
  const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (::flock(fd, operation | LOCK_NB) != 0) {
    if (errno != EWOULDBLOCK || std::chrono::steady_clock::now() > giveUp) return;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  held_ = true;
}

DirectoryLock::~DirectoryLock() {
  if (handle_ >= 0) ::close(static_cast<int>(handle_));  // releases the lock
}

}  // namespace tov::platform
