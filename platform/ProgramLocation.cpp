#include "platform/ProgramLocation.h"

#include <algorithm>
#include <system_error>

// Relative to the program's directory when installed; set by the build from
// the installation directories chosen.
#ifndef TOV_DATA_DIR_FROM_BIN
#define TOV_DATA_DIR_FROM_BIN "../share"
#endif
#ifndef TOV_MODULE_DIR_FROM_BIN
#define TOV_MODULE_DIR_FROM_BIN "../lib/tovapps"
#endif

namespace tov::platform {
namespace {

std::vector<std::filesystem::path> besideProgram(std::initializer_list<const char*> relatives) {
  std::vector<std::filesystem::path> dirs;
  const std::filesystem::path program = programPath();
  if (program.empty()) return dirs;
  for (const char* relative : relatives) {
    std::filesystem::path dir = (program.parent_path() / relative).lexically_normal();
    if (std::find(dirs.begin(), dirs.end(), dir) == dirs.end()) dirs.push_back(std::move(dir));
  }
  return dirs;
}

}  // namespace

std::filesystem::path programPath() {
  std::error_code ec;
  std::filesystem::path path = std::filesystem::read_symlink("/proc/self/exe", ec);
  return ec ? std::filesystem::path() : path;
}

std::vector<std::filesystem::path> programDataDirectories() {
  return besideProgram({TOV_DATA_DIR_FROM_BIN, "../share"});
}

std::vector<std::filesystem::path> programModuleDirectories() {
  return besideProgram({TOV_MODULE_DIR_FROM_BIN, "../lib/tovapps"});
}

}  // namespace tov::platform
