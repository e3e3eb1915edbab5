// The four entry points of libFerrule0101.so, the only symbols it exports.
// No C++ exception leaves them.
#include <dlfcn.h>

#include <filesystem>

#include "automation/ServerEntryPoints.h"
#include "fileio/dispatch/ComponentClasses.h"

using tov::automation::Guid;
using tov::automation::HResult;

#define FERRULE_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

// Where this library was loaded from, so the registry points at this file.
std::filesystem::path ownPath() {
  Dl_info info{};
  if (dladdr(reinterpret_cast<void*>(&ownPath), &info) == 0 || !info.dli_fname) return {};
  return std::filesystem::absolute(info.dli_fname).lexically_normal();
}

}  // namespace

FERRULE_EXPORT HResult DllGetClassObject(const Guid* clsid, const Guid* iid, void** out) {
  if (!clsid || !iid || !out) return tov::automation::kEPointer;
  try {
    return ferrule::componentServer().getClassObject(*clsid, *iid, out);
  } catch (...) {
    return tov::automation::kEUnexpected;
  }
}

FERRULE_EXPORT HResult DllCanUnloadNow() { return ferrule::componentServer().canUnloadNow(); }

FERRULE_EXPORT HResult DllRegisterServer() {
  try {
    const std::filesystem::path path = ownPath();
    if (path.empty()) return tov::automation::kSelfregEClass;
    return ferrule::componentServer().registerServer(path, tov::automation::ComponentRegistry());
  } catch (...) {
    return tov::automation::kSelfregEClass;
  }
}

FERRULE_EXPORT HResult DllUnregisterServer() {
  try {
    return ferrule::componentServer().unregisterServer(tov::automation::ComponentRegistry());
  } catch (...) {
    return tov::automation::kSelfregEClass;
  }
}
