#include "ui/ToolkitModule.h"

#include <dlfcn.h>

#include <cstdlib>
#include <cstring>
#include <system_error>

#include "platform/ProgramLocation.h"
#include "ui/ToolkitBuildStamp.h"

#ifndef TOV_UI_MODULE_FILE
#define TOV_UI_MODULE_FILE "libtovui-qt.so"
#endif

namespace tov::ui {
namespace {

// The module calls into the program's own classes: one from another build
// may expect other layouts and meanings, which loading cannot tell. Nothing
// of it runs unless it carries this program's stamp.
bool sameBuild(void* module, const std::filesystem::path& file, std::string& problem) {
  const auto* stamp = static_cast<const char*>(dlsym(module, kToolkitStampSymbol));
  if (stamp && std::strcmp(stamp, kToolkitBuildStamp) == 0) return true;
  problem = file.string() + " belongs to another build of the program (module " +
            (stamp ? "build " + std::string(stamp) : std::string("without a build stamp")) + ", program build " +
            kToolkitBuildStamp + ")";
  return false;
}

}  // namespace

const char kToolkitBuildStamp[] = TOV_TOOLKIT_BUILD_STAMP;

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
    // Loading reads the file: a pipe or a device named by mistake would
    // hold the start-up for ever.
    if (!std::filesystem::is_regular_file(file, ec)) {
      problem = file.string() + " is not a module file";
      return nullptr;
    }
    // Everything resolved now, so a module built for another program
    // version fails here and not in the middle of the run.
    void* module = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
    if (!module) {
      const char* why = dlerror();
      problem = why ? why : file.string() + ": cannot be loaded";
      return nullptr;
    }
    if (!sameBuild(module, file, problem)) return nullptr;
    if (void* entry = dlsym(module, kToolkitStartSymbol)) return reinterpret_cast<ToolkitStart>(entry);
    problem = file.string() + ": no " + kToolkitStartSymbol;
    return nullptr;
  }
  problem = candidates.empty() ? std::string("the program's own location is unknown")
                               : candidates.front().string() + " not found";
  return nullptr;
}

}  // namespace tov::ui
