// Attributes, existence and deletion are the system's own calls.
#include "platform/FileAttributes.h"

#include <windows.h>

#include "platform/AlternateStream.h"
#include "platform/Path.h"
#include "platform/win32/WideText.h"

namespace tov::platform {
namespace {

// The system would stop reading a name at a NUL and act on another file.
bool holdsNul(std::u16string_view name) {
  if (name.find(u'\0') == std::u16string_view::npos) return false;
  ::SetLastError(ERROR_INVALID_NAME);
  return true;
}

std::wstring systemName(std::u16string_view name) {
  std::wstring wideName = win32::wide(name);
  for (wchar_t& c : wideName) {
    if (c == L'/') c = L'\\';
  }
  return wideName;
}

}  // namespace

std::uint32_t GetFileAttributesW(std::u16string_view name) {
  if (name.empty()) {
    ::SetLastError(ERROR_PATH_NOT_FOUND);
    return kInvalidFileAttributes;
  }
  if (holdsNul(name)) return kInvalidFileAttributes;
  const DWORD attributes = ::GetFileAttributesW(systemName(name).c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES) ::SetLastError(ERROR_SUCCESS);
  return attributes;
}

std::uint32_t getFileAttributesNative(const std::string& path) { return GetFileAttributesW(fromNativePath(path)); }

bool SetFileAttributesW(std::u16string_view name, std::uint32_t attributes) {
  if (name.empty()) {
    ::SetLastError(ERROR_PATH_NOT_FOUND);
    return false;
  }
  if (holdsNul(name)) return false;
  if (!::SetFileAttributesW(systemName(name).c_str(), attributes)) return false;
  ::SetLastError(ERROR_SUCCESS);
  return true;
}

bool DeleteFileW(std::u16string_view name) {
  if (name.empty()) {
    ::SetLastError(ERROR_PATH_NOT_FOUND);
    return false;
  }
  if (holdsNul(name)) return false;
  if (!::DeleteFileW(systemName(name).c_str())) return false;
  ::SetLastError(ERROR_SUCCESS);
  return true;
}

// Both follow the colon rule: "file:stream" exists when the file has the
// stream.
bool pathExists(std::u16string_view name) {
  StreamPath path;
  if (name.empty() || resolveStreamPath(nativePath(name), path) != 0) return false;
  if (path.isStream()) return streamExists(path);
  return ::GetFileAttributesW(win32::wideFromNative(path.file).c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool fileExists(std::u16string_view name) {
  StreamPath path;
  if (name.empty() || resolveStreamPath(nativePath(name), path) != 0) return false;
  if (path.isStream()) return streamExists(path);
  const DWORD attributes = ::GetFileAttributesW(win32::wideFromNative(path.file).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace tov::platform
