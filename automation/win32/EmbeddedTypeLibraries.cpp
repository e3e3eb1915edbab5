#include "automation/win32/EmbeddedTypeLibraries.h"

#include <oleauto.h>

#include <map>
#include <mutex>
#include <string>

#include "automation/win32/SystemVariant.h"

namespace tov::automation::win32 {
namespace {

// More resources than any library of this frame carries.
constexpr int kMostTypeLibraries = 8;

struct Loaded {
  std::mutex lock;
  std::map<std::string, ITypeLib*> byLibid;  // kept for the life of the module
};

Loaded& loaded() {
  static Loaded* const l = new Loaded;
  return *l;
}

std::string key(const Guid& g) {
  return std::string(reinterpret_cast<const char*>(&g), sizeof g);
}

ITypeLib* findLibrary(const Guid& libid) {
  Loaded& l = loaded();
  const std::lock_guard<std::mutex> guard(l.lock);
  if (const auto it = l.byLibid.find(key(libid)); it != l.byLibid.end()) return it->second;
  const std::wstring path = ownModulePath();
  for (int index = 1; index <= kMostTypeLibraries; ++index) {
    ITypeLib* library = nullptr;
    const std::wstring resource = path + L"\\" + std::to_wstring(index);
    if (FAILED(::LoadTypeLibEx(resource.c_str(), REGKIND_NONE, &library))) break;
    TLIBATTR* attr = nullptr;
    bool match = false;
    if (SUCCEEDED(library->GetLibAttr(&attr))) {
      match = attr->guid == systemGuid(libid);
      library->ReleaseTLibAttr(attr);
    }
    if (match) {
      l.byLibid[key(libid)] = library;
      return library;
    }
    library->Release();
  }
  return nullptr;
}

}  // namespace

HMODULE ownModule() {
  HMODULE module = nullptr;
  ::GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCWSTR>(&ownModule), &module);
  return module;
}

std::wstring ownModulePath() {
  std::wstring buffer(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = ::GetModuleFileNameW(ownModule(), buffer.data(), static_cast<DWORD>(buffer.size()));
    if (n == 0) return {};
    if (n < buffer.size()) {
      buffer.resize(n);
      return buffer;
    }
    buffer.resize(buffer.size() * 2);
  }
}

HRESULT embeddedTypeInfo(const Guid& libid, const Guid& iid, ITypeInfo** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  ITypeLib* library = findLibrary(libid);
  if (!library) return TYPE_E_LIBNOTREGISTERED;
  return library->GetTypeInfoOfGuid(systemGuid(iid), out);
}

}  // namespace tov::automation::win32
