// Description members of tovFSO: each works on a description list of its
// own, read from the file's directory and written back within the call.
#include "fileio/tovDescriptIon.h"
#include "fileio/tovFSO.h"
#include "support/FileNameFunctions.h"

namespace ferrule {

std::u16string tovFSO::GetFileDescription(std::u16string_view FileName) {
  tovDescriptIon list;
  if (!list.ReadDirectoryFile(tov::asGetFilePath(FileName))) return {};
  return list.ItemDescriptionByFileName(tov::asGetFileName(FileName));
}

bool tovFSO::SetFileDescription(std::u16string_view FileName, std::u16string_view DescriptionText) {
  tovDescriptIon list;
  const std::u16string directory = tov::asGetFilePath(FileName);
  if (!list.ReadDirectoryFile(directory)) return false;
  const std::u16string name = tov::asGetFileName(FileName);
  // An empty name or text changes no entry and the list is still written
  // back; an entry the file cannot hold faithfully fails the set.
  if (!name.empty() && !DescriptionText.empty() && !list.AddItem(name, DescriptionText)) return false;
  return list.WriteDirectoryFile(directory);
}

bool tovFSO::DeleteFileDescription(std::u16string_view FileName) {
  tovDescriptIon list;
  const std::u16string directory = tov::asGetFilePath(FileName);
  if (!list.ReadDirectoryFile(directory)) return false;
  list.RemoveItemByFileName(tov::asGetFileName(FileName));
  return list.WriteDirectoryFile(directory);
}

}  // namespace ferrule
