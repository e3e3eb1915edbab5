// asGetFullFileName: the system's own rule for drive letters, shares and
// the per-drive current directories.
#include <windows.h>

#include <string>

#include "support/ErrorRecord.h"
#include "support/FileNameFunctions.h"

namespace tov {

std::u16string asGetFullFileName(std::u16string_view name) {
  if (name.empty()) name = u".";
  // The system would stop reading at a NUL and name another file.
  if (name.find(u'\0') != std::u16string_view::npos) throw RuntimeError(standardError(errors::kBadFileNameOrNumber));
  const std::wstring wideName(reinterpret_cast<const wchar_t*>(name.data()), name.size());
  std::wstring buffer(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = ::GetFullPathNameW(wideName.c_str(), static_cast<DWORD>(buffer.size()), buffer.data(), nullptr);
    if (n == 0) throw RuntimeError(standardError(errors::kBadFileNameOrNumber));
    if (n < buffer.size()) {
      buffer.resize(n);
      return std::u16string(reinterpret_cast<const char16_t*>(buffer.data()), buffer.size());
    }
    buffer.resize(n);
  }
}

}  // namespace tov
