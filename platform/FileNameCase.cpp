#include "platform/FileNameCase.h"

#include <dirent.h>

#include "platform/CaseFold.h"
#include "platform/Path.h"

namespace tov::platform {

std::optional<std::u16string> existingNameIgnoringCase(std::u16string_view directory, std::u16string_view name) {
  const std::string dirPath = directory.empty() ? std::string(".") : nativePath(directory);
  DIR* dir = ::opendir(dirPath.c_str());
  if (!dir) return std::nullopt;
  const std::string wanted = nativePath(name);
  std::string found;
  while (const dirent* d = ::readdir(dir)) {
    const std::string entry = d->d_name;
    // Only ASCII letters fold to the letters of an ASCII name, so a match
    // has its length in bytes.
    if (entry.size() == wanted.size() && equalsIgnoreCase(fromNativePath(entry), name) &&
        (found.empty() || entry < found)) {
      found = entry;
    }
  }
  ::closedir(dir);
  if (found.empty()) return std::nullopt;
  return fromNativePath(found);
}

}  // namespace tov::platform
