// The file system ignores letter case itself; the directory's own spelling
// of the name is what a search for the exact name reports.
#include "platform/FileNameCase.h"

#include <windows.h>

#include "platform/win32/WideText.h"

namespace tov::platform {

std::optional<std::u16string> existingNameIgnoringCase(std::u16string_view directory, std::u16string_view name) {
  if (name.empty() || name.find_first_of(u"*?\\/") != std::u16string_view::npos) return std::nullopt;
  std::wstring pattern = directory.empty() ? std::wstring() : win32::wide(directory);
  if (!pattern.empty() && pattern.back() != L'\\' && pattern.back() != L'/') pattern += L'\\';
  pattern += win32::wide(name);
  WIN32_FIND_DATAW found{};
  const HANDLE search = ::FindFirstFileW(pattern.c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return std::nullopt;
  ::FindClose(search);
  return win32::fromWide(found.cFileName);
}

}  // namespace tov::platform
