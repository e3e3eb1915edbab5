// On Windows a program makes itself known to the shell under its own name
// in the per-user "App Paths" key: "Start > Run Quillmark" and the open-with
// lists then find it wherever it was unpacked. Nothing of the desktop entry
// machinery of other systems applies here.
#include "support/AppPathRegistration.h"

#include <windows.h>

#include <string>

#include "platform/ProgramLocation.h"

namespace tov {
namespace {

constexpr wchar_t kAppPaths[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\";

std::wstring storedValue(HKEY key, const wchar_t* name) {
  wchar_t buffer[1024];
  DWORD size = sizeof buffer;
  DWORD type = 0;
  if (::RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size) != ERROR_SUCCESS ||
      type != REG_SZ)
    return {};
  return std::wstring(buffer, size / sizeof(wchar_t)).c_str();
}

bool store(HKEY key, const wchar_t* name, const std::wstring& value) {
  if (storedValue(key, name) == value) return true;
  return ::RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                          static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}

}  // namespace

bool asRegisterAppPath() {
  try {
    const std::filesystem::path program = platform::programPath();
    if (program.empty()) return false;
    HKEY key = nullptr;
    const std::wstring subkey = kAppPaths + program.filename().wstring();
    if (::RegCreateKeyExW(HKEY_CURRENT_USER, subkey.c_str(), 0, nullptr, 0, KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr,
                          &key, nullptr) != ERROR_SUCCESS)
      return false;
    const bool ok = store(key, nullptr, program.wstring()) && store(key, L"Path", program.parent_path().wstring());
    ::RegCloseKey(key);
    return ok;
  } catch (...) {
    return false;  // never a reason to stop the program
  }
}

}  // namespace tov
