#include "platform/XdgDataDirectories.h"

#include <algorithm>
#include <cstdlib>
#include <string>

namespace tov::platform {

std::vector<std::filesystem::path> xdgDataDirs() {
  const char* value = std::getenv("XDG_DATA_DIRS");
  const std::string list = value && *value ? value : "/usr/local/share:/usr/share";
  std::vector<std::filesystem::path> dirs;
  for (std::size_t at = 0; at <= list.size();) {
    const std::size_t colon = std::min(list.find(':', at), list.size());
    const std::string entry = list.substr(at, colon - at);
    at = colon + 1;
    if (entry.empty() || entry.front() != '/') continue;
    // "/usr/share/" and "/usr/share" are one directory.
    std::filesystem::path dir = std::filesystem::path(entry).lexically_normal();
    if (!dir.has_filename() && dir.has_relative_path()) dir = dir.parent_path();
    if (std::find(dirs.begin(), dirs.end(), dir) == dirs.end()) dirs.push_back(std::move(dir));
  }
  return dirs;
}

}  // namespace tov::platform
