#pragma once
// Where the running program is and where the files installed with it are.
// The build tree is laid out like an installation as seen from the
// program's directory (build/converter/quillmark finds build/share and
// build/lib/tovapps, as prefix/bin/quillmark finds prefix/share and
// prefix/lib/tovapps), so one rule finds both.
#include <filesystem>
#include <vector>

namespace tov::platform {

// The running program's absolute file name; empty when it cannot be told.
std::filesystem::path programPath();

// Candidate directories, most likely first, whether they exist or not.
std::vector<std::filesystem::path> programDataDirectories();
std::vector<std::filesystem::path> programModuleDirectories();

}  // namespace tov::platform
