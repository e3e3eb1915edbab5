#pragma once
// The machine-wide data directories of the XDG base directory rules, where
// installed packages put what every user reads (desktop entries, icons, the
// machine's component registrations).
#include <filesystem>
#include <vector>

namespace tov::platform {

// XDG_DATA_DIRS in its order of preference, or /usr/local/share and
// /usr/share when it is unset or empty. Entries that are not absolute
// paths are ignored, as the rules say; repeated entries count once.
std::vector<std::filesystem::path> xdgDataDirs();

}  // namespace tov::platform
