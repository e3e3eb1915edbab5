// The component registry on Windows is the system's own: classes under
// CLSID and their ProgIDs, type libraries and interfaces as the system
// registers them. Writes go to the machine's classes when this process may
// change them (an administrator, or regsvr32 run as one) and otherwise to
// the user's own classes, which the system reads first. The file name the
// portable registry keeps is not used here.
#include "automation/ComponentRegistry.h"

#include <windows.h>
#include <oleauto.h>

#include <string>

#include "automation/win32/SystemVariant.h"

namespace tov::automation {
namespace {

// Interfaces that are dual or automation-compatible travel between
// apartments through the automation marshaler.
constexpr wchar_t kAutomationMarshaler[] = L"{00020424-0000-0000-C000-000000000046}";

std::wstring wide(std::u16string_view text) {
  return std::wstring(reinterpret_cast<const wchar_t*>(text.data()), text.size());
}

std::wstring guidText(const Guid& g) { return wide(g.toString()); }

struct Classes {
  HKEY root;
  bool machine;
};

// The machine's classes when they take changes from this process, else
// the user's.
Classes writableClasses() {
  HKEY probe = nullptr;
  if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"Software\\Classes", 0, KEY_CREATE_SUB_KEY | KEY_SET_VALUE, &probe) ==
      ERROR_SUCCESS) {
    ::RegCloseKey(probe);
    return {HKEY_LOCAL_MACHINE, true};
  }
  return {HKEY_CURRENT_USER, false};
}

std::wstring classesPath(const std::wstring& key) { return L"Software\\Classes\\" + key; }

bool setValue(HKEY root, const std::wstring& key, const wchar_t* name, const std::wstring& value) {
  HKEY h = nullptr;
  if (::RegCreateKeyExW(root, classesPath(key).c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &h, nullptr) !=
      ERROR_SUCCESS)
    return false;
  const LONG rc = ::RegSetValueExW(h, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                                   static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
  ::RegCloseKey(h);
  return rc == ERROR_SUCCESS;
}

bool createKey(HKEY root, const std::wstring& key) {
  HKEY h = nullptr;
  if (::RegCreateKeyExW(root, classesPath(key).c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &h, nullptr) !=
      ERROR_SUCCESS)
    return false;
  ::RegCloseKey(h);
  return true;
}

// Removed from both places: what a user registered and what the machine
// has. A key that is not there is no failure.
bool removeTree(const std::wstring& key) {
  bool ok = true;
  for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
    const LONG rc = ::RegDeleteTreeW(root, classesPath(key).c_str());
    if (rc != ERROR_SUCCESS && rc != ERROR_FILE_NOT_FOUND && rc != ERROR_ACCESS_DENIED) ok = false;
    if (rc == ERROR_SUCCESS) ::RegDeleteKeyW(root, classesPath(key).c_str());
  }
  return ok;
}

std::optional<std::wstring> readValue(const std::wstring& key, const wchar_t* name) {
  wchar_t buffer[2048];
  DWORD size = sizeof buffer - sizeof(wchar_t);
  DWORD type = 0;
  HKEY h = nullptr;
  if (::RegOpenKeyExW(HKEY_CLASSES_ROOT, key.c_str(), 0, KEY_QUERY_VALUE, &h) != ERROR_SUCCESS) return std::nullopt;
  const LONG rc = ::RegQueryValueExW(h, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size);
  ::RegCloseKey(h);
  if (rc != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) return std::nullopt;
  buffer[size / sizeof(wchar_t)] = L'\0';
  return std::wstring(buffer);
}

std::u16string narrow(const std::wstring& text) {
  return std::u16string(reinterpret_cast<const char16_t*>(text.data()), text.size());
}

// Taken from the system at run time: the compiler's headers do not all
// declare it.
HRESULT registerForUser(ITypeLib* library, wchar_t* file) {
  using Register = HRESULT(WINAPI*)(ITypeLib*, OLECHAR*, OLECHAR*);
  const HMODULE oleaut = ::GetModuleHandleW(L"oleaut32.dll");
  const auto fn = oleaut ? reinterpret_cast<Register>(
                               reinterpret_cast<void*>(::GetProcAddress(oleaut, "RegisterTypeLibForUser")))
                         : nullptr;
  return fn ? fn(library, file, nullptr) : E_NOTIMPL;
}

}  // namespace

std::filesystem::path ComponentRegistry::defaultPath() { return {}; }

ComponentRegistry::ComponentRegistry(std::filesystem::path file) : file_(std::move(file)) {}

std::string ComponentRegistry::trustProblem() const { return {}; }

bool ComponentRegistry::usable() const { return true; }

bool ComponentRegistry::writeClass(const ClassRecord& record) const {
  const Classes classes = writableClasses();
  const std::wstring clsid = guidText(record.clsid);
  const std::wstring key = L"CLSID\\" + clsid;
  const std::wstring progId = wide(record.progId);
  return setValue(classes.root, key, nullptr, wide(record.className)) &&
         setValue(classes.root, key + L"\\InprocServer32", nullptr, wide(record.libraryPath)) &&
         setValue(classes.root, key + L"\\InprocServer32", L"ThreadingModel", wide(record.threadingModel)) &&
         setValue(classes.root, key + L"\\ProgID", nullptr, progId) &&
         setValue(classes.root, key + L"\\TypeLib", nullptr, guidText(record.typeLib)) &&
         setValue(classes.root, key + L"\\Version", nullptr, wide(record.version)) &&
         createKey(classes.root, key + L"\\Programmable") &&
         setValue(classes.root, progId, nullptr, wide(record.className)) &&
         setValue(classes.root, progId + L"\\CLSID", nullptr, clsid);
}

// The ProgID goes only while it still names this class: another library may
// have taken the name since.
bool ComponentRegistry::removeClass(const Guid& clsid, std::u16string_view progId) const {
  const std::wstring id = guidText(clsid);
  bool ok = true;
  if (!progId.empty()) {
    const std::optional<std::wstring> named = readValue(wide(progId) + L"\\CLSID", nullptr);
    if (named && ::CompareStringOrdinal(named->c_str(), -1, id.c_str(), -1, TRUE) == CSTR_EQUAL)
      ok = removeTree(wide(progId));
  }
  return removeTree(L"CLSID\\" + id) && ok;
}

// The system registers the library from the file that carries it, with its
// interfaces: the library's own first resource, or the one the path names
// ("...\\Ferrule0101.dll\\2").
bool ComponentRegistry::writeTypeLibrary(const TypeLibraryRecord& record) const {
  const std::wstring path = wide(record.path);
  ITypeLib* library = nullptr;
  if (FAILED(::LoadTypeLibEx(path.c_str(), REGKIND_NONE, &library))) return false;
  std::wstring file = path;
  HRESULT hr = E_FAIL;
  if (writableClasses().machine) {
    hr = ::RegisterTypeLib(library, file.data(), nullptr);
  }
  if (FAILED(hr)) hr = registerForUser(library, file.data());
  library->Release();
  return SUCCEEDED(hr);
}

bool ComponentRegistry::removeTypeLibrary(const Guid& libid, std::u16string_view) const {
  return removeTree(L"TypeLib\\" + guidText(libid));
}

// Registering the library wrote its interfaces already; this states again
// what a client needs to reach one from another apartment, in case the
// library was registered by another means.
bool ComponentRegistry::writeInterface(const Guid& iid, std::u16string_view name, const Guid& libid,
                                       std::u16string_view version) const {
  const Classes classes = writableClasses();
  const std::wstring key = L"Interface\\" + guidText(iid);
  return setValue(classes.root, key, nullptr, wide(name)) &&
         setValue(classes.root, key + L"\\ProxyStubClsid32", nullptr, kAutomationMarshaler) &&
         setValue(classes.root, key + L"\\TypeLib", nullptr, guidText(libid)) &&
         setValue(classes.root, key + L"\\TypeLib", L"Version", wide(version));
}

bool ComponentRegistry::removeInterface(const Guid& iid) const { return removeTree(L"Interface\\" + guidText(iid)); }

std::optional<Guid> ComponentRegistry::clsidOf(std::u16string_view progId) const {
  const std::optional<std::wstring> text = readValue(wide(progId) + L"\\CLSID", nullptr);
  if (!text) return std::nullopt;
  return Guid::parse(narrow(*text));
}

std::optional<ClassRecord> ComponentRegistry::findClass(const Guid& clsid) const {
  const std::wstring key = L"CLSID\\" + guidText(clsid);
  const std::optional<std::wstring> path = readValue(key + L"\\InprocServer32", nullptr);
  if (!path) return std::nullopt;
  ClassRecord record;
  record.clsid = clsid;
  record.libraryPath = narrow(*path);
  record.className = narrow(readValue(key, nullptr).value_or(L""));
  record.progId = narrow(readValue(key + L"\\ProgID", nullptr).value_or(L""));
  record.threadingModel = narrow(readValue(key + L"\\InprocServer32", L"ThreadingModel").value_or(L""));
  record.version = narrow(readValue(key + L"\\Version", nullptr).value_or(L""));
  if (const auto lib = readValue(key + L"\\TypeLib", nullptr)) record.typeLib = Guid::parse(narrow(*lib)).value_or(Guid{});
  return record;
}

}  // namespace tov::automation
