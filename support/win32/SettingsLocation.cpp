// Settings live in the user's roaming application data folder, where
// Windows programs keep theirs.
#include "support/SettingsLocation.h"

#include <windows.h>
#include <shlobj.h>

#include "platform/Utf.h"

namespace tov {
namespace {

std::u16string fromWide(const wchar_t* text) { return std::u16string(reinterpret_cast<const char16_t*>(text)); }

}  // namespace

std::string settingsHome() {
  PWSTR folder = nullptr;
  std::string result;
  if (SUCCEEDED(::SHGetKnownFolderPath(FOLDERID_RoamingAppData, KF_FLAG_CREATE, nullptr, &folder)))
    result = platform::toUtf8(fromWide(folder));
  ::CoTaskMemFree(folder);
  return result;
}

bool ensureSettingsFolder(const std::string& dir) {
  const std::u16string name = platform::fromUtf8(dir);
  std::wstring path(reinterpret_cast<const wchar_t*>(name.data()), name.size());
  for (wchar_t& c : path) {
    if (c == L'/') c = L'\\';
  }
  // Parents first; a drive or share root needs no creating.
  for (std::size_t sep = path.find(L'\\', 3); sep != std::wstring::npos; sep = path.find(L'\\', sep + 1)) {
    ::CreateDirectoryW(path.substr(0, sep).c_str(), nullptr);
  }
  ::CreateDirectoryW(path.c_str(), nullptr);
  const DWORD attributes = ::GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace tov
