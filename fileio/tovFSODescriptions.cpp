// Description members of tovFSO: each works on a description list of its
// own, read from the file's directory and written back within the call.
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <string>
#include <thread>

#include "fileio/tovDescriptIon.h"
#include "fileio/tovFSO.h"
#include "platform/Path.h"
#include "support/FileNameFunctions.h"

namespace ferrule {
namespace {

// Serialises the members' read-change-write of one directory's list among
// the processes that use them, so two scripts describing files in the same
// directory at once do not lose each other's entries. The lock is advisory
// and held on the directory, which stays while the list file is replaced.
// A holder that never lets go delays a call by a few seconds; the call then
// goes on without the lock, as it would where the directory cannot be
// locked at all.
class DirectoryLock {
 public:
  DirectoryLock(std::u16string_view directory, int operation) {
    const std::string path = directory.empty() ? std::string(".") : tov::platform::nativePath(directory);
    fd_ = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd_ < 0) return;
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (::flock(fd_, operation | LOCK_NB) != 0) {
      if (errno != EWOULDBLOCK || std::chrono::steady_clock::now() > giveUp) break;
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
  }
  ~DirectoryLock() {
    if (fd_ >= 0) ::close(fd_);  // releases the lock
  }
  DirectoryLock(const DirectoryLock&) = delete;
  DirectoryLock& operator=(const DirectoryLock&) = delete;

 private:
  int fd_ = -1;
};

}  // namespace

std::u16string tovFSO::GetFileDescription(std::u16string_view FileName) {
  const std::u16string directory = tov::asGetFilePath(FileName);
  DirectoryLock lock(directory, LOCK_SH);
  tovDescriptIon list;
  if (!list.ReadDirectoryFile(directory)) return {};
  return list.ItemDescriptionByFileName(tov::asGetFileName(FileName));
}

bool tovFSO::SetFileDescription(std::u16string_view FileName, std::u16string_view DescriptionText) {
  const std::u16string directory = tov::asGetFilePath(FileName);
  DirectoryLock lock(directory, LOCK_EX);
  tovDescriptIon list;
  if (!list.ReadDirectoryFile(directory)) return false;
  const std::u16string name = tov::asGetFileName(FileName);
  // An empty name or text changes no entry and the list is still written
  // back; an entry the file cannot hold faithfully fails the set.
  if (!name.empty() && !DescriptionText.empty() && !list.AddItem(name, DescriptionText)) return false;
  return list.WriteDirectoryFile(directory);
}

bool tovFSO::DeleteFileDescription(std::u16string_view FileName) {
  const std::u16string directory = tov::asGetFilePath(FileName);
  DirectoryLock lock(directory, LOCK_EX);
  tovDescriptIon list;
  if (!list.ReadDirectoryFile(directory)) return false;
  list.RemoveItemByFileName(tov::asGetFileName(FileName));
  return list.WriteDirectoryFile(directory);
}

}  // namespace ferrule
