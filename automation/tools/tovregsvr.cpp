// tovregsvr [/u] LIBRARY: registers a component library in the per-user
// component registry (or removes it with /u) by calling its own
// DllRegisterServer or DllUnregisterServer.
#include <dlfcn.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "automation/ComponentRegistry.h"
#include "automation/ServerEntryPoints.h"
#include "platform/TrustedPath.h"

namespace {

using namespace tov::automation;

int usage() {
  std::fprintf(stderr, "usage: tovregsvr [/u] LIBRARY\n");
  return 2;
}

// A name that exists as a file is loaded by its absolute path, so the
// registry records where it is; anything else goes to the loader's search.
std::string loadablePath(const std::string& arg) {
  std::error_code ec;
  if (std::filesystem::exists(arg, ec)) {
    return std::filesystem::absolute(arg, ec).string();
  }
  return arg;
}

int run(const std::string& library, bool unregister) {
  const char* entry = unregister ? kDllUnregisterServer : kDllRegisterServer;
  const std::string path = loadablePath(library);
  if (std::string why = ComponentRegistry().trustProblem(); !why.empty()) {
    std::fprintf(stderr, "tovregsvr: %s\n", why.c_str());
    return 1;
  }
  // Loading runs the library's code in this process, perhaps as root.
  if (path.find('/') != std::string::npos) {
    if (std::string why = tov::platform::whyUntrusted(path); !why.empty()) {
      std::fprintf(stderr, "tovregsvr: refusing to load %s: %s\n", path.c_str(), why.c_str());
      return 1;
    }
  }
  void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!handle) {
    const char* why = dlerror();
    std::fprintf(stderr, "tovregsvr: cannot load %s: %s (%s)\n", path.c_str(), why ? why : "unknown error",
                 describeHResult(kModNotFound).c_str());
    return 1;
  }
  auto fn = reinterpret_cast<DllRegisterServerFn>(dlsym(handle, entry));
  if (!fn) {
    std::fprintf(stderr, "tovregsvr: %s has no entry point %s (%s)\n", path.c_str(), entry,
                 describeHResult(kProcNotFound).c_str());
    dlclose(handle);
    return 1;
  }
  const HResult hr = fn();
  const std::string registry = ComponentRegistry::defaultPath().string();
  if (failed(hr)) {
    std::fprintf(stderr, "tovregsvr: %s in %s failed: %s (registry %s)\n", entry, path.c_str(),
                  describeHResult(hr).c_str(), registry.c_str());
  } else {
    std::printf("%s in %s succeeded (registry %s).\n", entry, path.c_str(), registry.c_str());
  }
  dlclose(handle);
  return failed(hr) ? 1 : 0;
}

}  // namespace

int main(int argc, char** argv) {
  bool unregister = false;
  std::string library;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "/u" || arg == "-u" || arg == "/U") {
      unregister = true;
    } else if (library.empty()) {
      library = arg;
    } else {
      return usage();
    }
  }
  if (library.empty()) return usage();
  return run(library, unregister);
}
