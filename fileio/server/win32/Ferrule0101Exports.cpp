// The four entry points of Ferrule0101.dll, the only functions it exports
// (Ferrule0101.def). No C++ exception leaves them.
#include <windows.h>
#include <oleauto.h>

#include <string>

#include "automation/ComponentRegistry.h"
#include "automation/RuntimeTypeLibrary.h"
#include "automation/win32/EmbeddedTypeLibraries.h"
#include "automation/win32/SystemVariant.h"
#include "fileio/dispatch/ComponentClasses.h"

using tov::automation::ComponentRegistry;
using tov::automation::Guid;
using tov::automation::HResult;

namespace {

// The runtime's classes come with their type library as the second
// resource; the library's own is the first.
constexpr wchar_t kRuntimeTypeLibraryResource[] = L"\\2";

std::u16string narrow(const std::wstring& text) {
  return std::u16string(reinterpret_cast<const char16_t*>(text.data()), text.size());
}

tov::automation::TypeLibraryRecord runtimeRecord(const std::wstring& dll) {
  const auto& runtime = tov::automation::runtimeTypeLibrary();
  tov::automation::TypeLibraryRecord record;
  record.libid = runtime.libid;
  record.name = std::u16string(runtime.name);
  record.path = narrow(dll + kRuntimeTypeLibraryResource);
  return record;
}

// The runtime's library is registered from whichever library of the frame
// was registered last; it goes only while it is this file's.
bool runtimeRegisteredHere(const std::wstring& dll) {
  const auto& runtime = tov::automation::runtimeTypeLibrary();
  BSTR path = nullptr;
  if (FAILED(::QueryPathOfRegTypeLib(tov::automation::win32::systemGuid(runtime.libid), runtime.majorVersion,
                                     runtime.minorVersion, 0, &path))) {
    return false;
  }
  const std::wstring registered(path, ::SysStringLen(path));
  ::SysFreeString(path);
  const std::wstring ours = dll + kRuntimeTypeLibraryResource;
  return ::CompareStringOrdinal(registered.c_str(), -1, ours.c_str(), -1, TRUE) == CSTR_EQUAL;
}

}  // namespace

extern "C" HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID clsid, REFIID iid, LPVOID* out) {
  if (!out) return E_POINTER;
  try {
    return static_cast<HRESULT>(ferrule::componentServer().getClassObject(tov::automation::win32::frameGuid(clsid),
                                                                           tov::automation::win32::frameGuid(iid), out));
  } catch (...) {
    return E_UNEXPECTED;
  }
}

extern "C" HRESULT STDAPICALLTYPE DllCanUnloadNow() {
  return static_cast<HRESULT>(ferrule::componentServer().canUnloadNow());
}

extern "C" HRESULT STDAPICALLTYPE DllRegisterServer() {
  try {
    const std::wstring dll = tov::automation::win32::ownModulePath();
    if (dll.empty()) return static_cast<HRESULT>(tov::automation::kSelfregEClass);
    const ComponentRegistry registry;
    if (!registry.writeTypeLibrary(runtimeRecord(dll))) return static_cast<HRESULT>(tov::automation::kSelfregETypeLib);
    return static_cast<HRESULT>(ferrule::componentServer().registerServer(std::filesystem::path(dll), registry));
  } catch (...) {
    return static_cast<HRESULT>(tov::automation::kSelfregEClass);
  }
}

extern "C" HRESULT STDAPICALLTYPE DllUnregisterServer() {
  try {
    const std::wstring dll = tov::automation::win32::ownModulePath();
    const ComponentRegistry registry;
    const HResult hr = ferrule::componentServer().unregisterServer(registry);
    if (tov::automation::failed(hr)) return static_cast<HRESULT>(hr);
    if (runtimeRegisteredHere(dll) &&
        !registry.removeTypeLibrary(tov::automation::runtimeTypeLibrary().libid, tov::automation::runtimeTypeLibrary().name)) {
      return static_cast<HRESULT>(tov::automation::kSelfregETypeLib);
    }
    return S_OK;
  } catch (...) {
    return static_cast<HRESULT>(tov::automation::kSelfregEClass);
  }
}
