// The four entry points of the test-only component library: the classes
// of the test type library, for clients that create them through the
// registry (the Python client's tests). Registered only by the tests.
#include <dlfcn.h>

#include <filesystem>

#include "TestClientClasses.h"
#include "automation/ComponentServer.h"
#include "automation/ServerEntryPoints.h"

using tov::automation::Guid;
using tov::automation::HResult;

#define TOVTEST_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

const tov::automation::ComponentServer& server() {
  static const tov::automation::ComponentServer s(tovtest::clientTypeLibrary(),
                                                  {{u"TestCallbackSource", &tovtest::TestCallbackSource::create},
                                                   {u"TestResults", &tovtest::TestResults::create}});
  return s;
}

std::filesystem::path ownPath() {
  Dl_info info{};
  if (dladdr(reinterpret_cast<void*>(&ownPath), &info) == 0 || !info.dli_fname) return {};
  return std::filesystem::absolute(info.dli_fname).lexically_normal();
}

}  // namespace

TOVTEST_EXPORT HResult DllGetClassObject(const Guid* clsid, const Guid* iid, void** out) {
  if (!clsid || !iid || !out) return tov::automation::kEPointer;
  return server().getClassObject(*clsid, *iid, out);
}

TOVTEST_EXPORT HResult DllCanUnloadNow() { return server().canUnloadNow(); }

TOVTEST_EXPORT HResult DllRegisterServer() {
  return server().registerServer(ownPath(), tov::automation::ComponentRegistry());
}

TOVTEST_EXPORT HResult DllUnregisterServer() { return server().unregisterServer(tov::automation::ComponentRegistry()); }
