// tovregsvr [--system] [/u] LIBRARY: registers a component library (or
// removes its registration with /u) by calling its own DllRegisterServer or
// DllUnregisterServer, and says which registry it wrote: the user's own,
// the file TOVAPPS_REGISTRY names, or with --system the machine-wide one
// of the installation the tool belongs to (<prefix>/share/TOVapps/
// registry.ini beside <prefix>/bin/tovregsvr), which every user reads.
#include <dlfcn.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "automation/ComponentRegistry.h"
#include "automation/RegistrySearch.h"
#include "automation/ServerEntryPoints.h"
#include "platform/ProgramLocation.h"
#include "platform/TrustedPath.h"
#include "platform/XdgDataDirectories.h"

namespace {

using namespace tov::automation;
namespace fs = std::filesystem;

constexpr const char* kUsage =
    "usage: tovregsvr [--system] [/u] LIBRARY\n"
    "  Registers the component library LIBRARY in the user's component registry,\n"
    "  or removes its registration with /u (also -u).\n"
    "  --system writes the machine-wide registry every user reads instead (as root).\n";

int usage(std::FILE* out, int status) {
  std::fputs(kUsage, out);
  return status;
}

struct Options {
  bool unregister = false;
  bool system = false;
  std::string library;
};

// Which file the library's own registration code will write, and how to
// name it to the user.
struct Target {
  fs::path file;
  std::string kind;
};

// A name that exists as a file is loaded by its absolute path, so the
// registry records where it is; anything else goes to the loader's search.
std::string loadablePath(const std::string& arg) {
  std::error_code ec;
  if (fs::exists(arg, ec)) return fs::absolute(arg, ec).string();
  return arg;
}

// The machine-wide registry of this tool's own installation, so a package
// installed under /usr writes /usr/share and one under /usr/local writes
// /usr/local/share, whatever the caller's environment says.
fs::path systemRegistry() {
  const auto dirs = tov::platform::programDataDirectories();
  return dirs.empty() ? fs::path() : RegistrySearch::systemFileIn(dirs.front());
}

// The library writes the registry the environment names; for --system that
// is the machine-wide file.
Target chooseTarget(bool system) {
  if (system) {
    Target t{systemRegistry(), "system registry"};
    if (!t.file.empty()) setenv("TOVAPPS_REGISTRY", t.file.c_str(), 1);
    return t;
  }
  if (const char* named = std::getenv("TOVAPPS_REGISTRY"); named && *named) {
    return {named, "registry named by TOVAPPS_REGISTRY"};
  }
  return {ComponentRegistry::defaultPath(), "per-user registry"};
}

// Why the file cannot be written (the file or, when it does not exist yet,
// the nearest directory that does); empty when it can.
std::string whyNotWritable(const fs::path& file) {
  fs::path at = file;
  std::error_code ec;
  while (!fs::exists(at, ec) && at.has_relative_path()) at = at.parent_path();
  if (::access(at.c_str(), W_OK) == 0) return {};
  return at.string() + ": " + std::strerror(errno);
}

// A machine-wide registry outside the data directories clients search is
// never read; better to say so than to let a registration seem to work.
void noteIfUnread(const fs::path& file) {
  const auto searched = RegistrySearch::systemFiles();
  if (std::find(searched.begin(), searched.end(), file.lexically_normal()) != searched.end()) return;
  std::string list;
  for (const auto& f : searched) list += (list.empty() ? "" : ", ") + f.string();
  std::fprintf(stderr,
               "tovregsvr: note: clients read machine-wide registrations from %s; %s is read only where "
               "XDG_DATA_DIRS names %s\n",
               list.empty() ? "nowhere" : list.c_str(), file.c_str(), file.parent_path().parent_path().c_str());
}

int run(const Options& options) {
  const char* entry = options.unregister ? kDllUnregisterServer : kDllRegisterServer;
  const std::string path = loadablePath(options.library);
  const Target target = chooseTarget(options.system);
  if (options.system && target.file.empty()) {
    std::fprintf(stderr, "tovregsvr: the installation this tool belongs to cannot be told\n");
    return 1;
  }
  if (std::string why = ComponentRegistry(target.file).trustProblem(); !why.empty()) {
    std::fprintf(stderr, "tovregsvr: %s\n", why.c_str());
    return 1;
  }
  if (options.system) {
    if (std::string why = whyNotWritable(target.file); !why.empty()) {
      std::fprintf(stderr, "tovregsvr: cannot write the system registry %s (%s); it belongs to the administrator\n",
                   target.file.c_str(), why.c_str());
      return 1;
    }
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
  if (failed(hr)) {
    std::fprintf(stderr, "tovregsvr: %s in %s failed: %s (%s %s)\n", entry, path.c_str(), describeHResult(hr).c_str(),
                 target.kind.c_str(), target.file.c_str());
  } else {
    std::printf("%s in %s succeeded (%s %s).\n", entry, path.c_str(), target.kind.c_str(), target.file.c_str());
    if (options.system && !options.unregister) noteIfUnread(target.file);
  }
  dlclose(handle);
  return failed(hr) ? 1 : 0;
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--help" || arg == "-h") {
      return argc == 2 ? usage(stdout, 0) : usage(stderr, 2);
    } else if (arg == "/u" || arg == "-u" || arg == "/U") {
      options.unregister = true;
    } else if (arg == "--system") {
      options.system = true;
    } else if (options.library.empty() && !arg.empty()) {
      options.library = arg;
    } else {
      return usage(stderr, 2);
    }
  }
  if (options.library.empty()) return usage(stderr, 2);
  return run(options);
}
