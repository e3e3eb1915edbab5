// The shell's own SHGetFileInfoW, asked with the caller's flags (whose
// values are the system's) and no file attributes, so the item must exist.
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <cwchar>
#include <string>

#include "platform/ShellFileInfo.h"
#include "platform/WinError.h"
#include "platform/win32/HandleSlot.h"
#include "platform/win32/WideText.h"

namespace tov::platform {
namespace {

std::u16string fieldText(const wchar_t* field, std::size_t capacity) {
  return win32::fromWide(std::wstring_view(field, ::wcsnlen(field, capacity)));
}

// What the call returns: the image list for the icon questions, otherwise
// a plain "answered". An image list that no 32-bit number reaches (a
// 64-bit system may place it above 4 GiB) still answers: its low bits,
// never 0, though they are no handle.
std::uint32_t resultValue(DWORD_PTR result, std::uint32_t flags) {
  if (!(flags & (kShgfiSysIconIndex | kShgfiIcon))) return static_cast<std::uint32_t>(result);
  const std::uint32_t value = win32::handleValue(reinterpret_cast<HIMAGELIST>(result));
  return value != 0 ? value : 1;
}

}  // namespace

std::uint32_t SHGetFileInfoW(std::u16string_view path, ShFileInfo& info, std::uint32_t flags) {
  if (path.empty()) {
    ::SetLastError(kErrorFileNotFound);
    return 0;
  }
  // The system would read such a name only up to its NUL: another item.
  if (path.find(u'\0') != std::u16string_view::npos) {
    ::SetLastError(kErrorInvalidName);
    return 0;
  }
  const std::wstring name = win32::wide(path);
  SHFILEINFOW record{};
  ::SetLastError(ERROR_SUCCESS);
  const DWORD_PTR result = ::SHGetFileInfoW(name.c_str(), 0, &record, sizeof record, flags);
  if (result == 0) {
    if (record.hIcon) ::DestroyIcon(record.hIcon);
    // The shell does not always say why; a missing item is the usual reason.
    if (::GetLastError() == ERROR_SUCCESS) ::SetLastError(kErrorFileNotFound);
    return 0;
  }
  if (flags & kShgfiExeType) return static_cast<std::uint32_t>(result);
  if (flags & kShgfiAttributes) info.dwAttributes = record.dwAttributes;
  if (flags & (kShgfiDisplayName | kShgfiIconLocation)) {
    info.szDisplayName = fieldText(record.szDisplayName, MAX_PATH);
  }
  if (flags & kShgfiTypeName) info.szTypeName = fieldText(record.szTypeName, 80);
  if (flags & (kShgfiIcon | kShgfiSysIconIndex | kShgfiIconLocation)) info.iIcon = record.iIcon;
  if (flags & kShgfiIcon) info.hIcon = win32::handleValue(record.hIcon);
  return resultValue(result, flags);
}

}  // namespace tov::platform
