// Description members of tovFSO: each works on a description list of its
// own, read from the file's directory and written back within the call.
#include <string>

#include "fileio/tovDescriptIon.h"
#include "fileio/tovFSO.h"
#include "platform/DirectoryLock.h"
#include "support/FileNameFunctions.h"

namespace ferrule {

// The members' read-change-write of one directory's list is serialised
// among the processes that use them, so two scripts describing files in the
// same directory at once do not lose each other's entries.
using tov::platform::DirectoryLock;

std::u16string tovFSO::GetFileDescription(std::u16string_view FileName) {
  const std::u16string directory = tov::asGetFilePath(FileName);
  DirectoryLock lock(directory, DirectoryLock::Mode::Shared);
  tovDescriptIon list;
  if (!list.ReadDirectoryFile(directory)) return {};
  return list.ItemDescriptionByFileName(tov::asGetFileName(FileName));
}

bool tovFSO::SetFileDescription(std::u16string_view FileName, std::u16string_view DescriptionText) {
  const std::u16string directory = tov::asGetFilePath(FileName);
  DirectoryLock lock(directory, DirectoryLock::Mode::Exclusive);
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
  DirectoryLock lock(directory, DirectoryLock::Mode::Exclusive);
  tovDescriptIon list;
  if (!list.ReadDirectoryFile(directory)) return false;
  list.RemoveItemByFileName(tov::asGetFileName(FileName));
  return list.WriteDirectoryFile(directory);
}

}  // namespace ferrule
