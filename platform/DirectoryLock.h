#pragma once
// An advisory lock that processes working on one directory's shared files
// take around their read-change-write, so two of them at once lose nothing.
// It waits a few seconds for another holder and then goes on without the
// lock, as it would where a directory cannot be locked at all: a holder that
// never lets go delays a call, it does not stop it.
#include <cstdint>
#include <string_view>

namespace tov::platform {

class DirectoryLock {
 public:
  enum class Mode { Shared, Exclusive };

  // `directory` as callers name it (UTF-16, "\" or "/"); "" is the current one.
  DirectoryLock(std::u16string_view directory, Mode mode);
  ~DirectoryLock();
  DirectoryLock(const DirectoryLock&) = delete;
  DirectoryLock& operator=(const DirectoryLock&) = delete;

  bool held() const { return held_; }

 private:
  std::intptr_t handle_ = -1;
  bool held_ = false;
};

}  // namespace tov::platform
