#include "ui/ToolkitModule.h"

#include <dlfcn.h>

#include <cstdlib>
#include <system_error>

#include "platform/ProgramLocation.h"

#ifndef TOV_UI_MODULE_FILE
#define TOV_UI_MODULE_FILE "libtovui-qt.so"
#endif

namespace tov::ui {

std::vector<std::filesystem::path> toolkitModuleCandidates() {
  const char* named = std::getenv("TOVAPPS_UI_MODULE");
  if (named && *named) return {std::filesystem::path(named)};
  std::vector<std::filesystem::path> files;
  for (const std::filesystem::path& dir : platform::programModuleDirectories()) files.push_back(dir / TOV_UI_MODULE_FILE);
  return files;
}

ToolkitStart loadToolkitModule(std::string& problem) {
  const std::vector<std::filesystem::path> candidates = toolkitModuleCandidates();
  for (const std::filesystem::path& file : candidates) {
    std::error_code ec;
    if (!std::filesystem::exists(file, ec)) continue;
    // Everything resolved now, so a module built for another program
    // version fails here and not in the middle of the run.
    void* module = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
    if (!module) {
      const char* why = dlerror();
      problem = why ? why : file.string() + ": cannot be loaded";
      return nullptr;
    }
    if (void* entry = dlsym(module, kToolkitStartSymbol)) return reinterpret_cast<ToolkitStart>(entry);
    problem = file.string() + ": no " + kToolkitStartSymbol;
    return nullptr;
  }
  problem = candidates.empty() ? std::string("the program's own location is unknown")
                               : candidates.front().string() + " not found";
  return nullptr;
}

}  // namespace tov::ui
