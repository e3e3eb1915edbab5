// Where a file's zone mark lives: the stream Zone.Identifier of the file
// named in full, since the profile functions look for a name without a
// folder in the system's own folder. The full name follows the system's
// rule for drives, shares and each drive's current folder, the one every
// call of the system applies to the name anyway.
#include <windows.h>

#include <string>

#include "fileio/tovFSO.h"

namespace ferrule {

std::u16string tovFSO::zoneStreamName(std::u16string_view fileName) {
  std::u16string name(fileName);
  // A name holding NUL is passed on whole: the profile functions refuse it.
  if (!name.empty() && name.find(u'\0') == std::u16string::npos) {
    const std::wstring wideName(reinterpret_cast<const wchar_t*>(name.data()), name.size());
    std::wstring full(MAX_PATH, L'\0');
    for (;;) {
      const DWORD n = ::GetFullPathNameW(wideName.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
      if (n == 0) break;
      if (n < full.size()) {
        name.assign(reinterpret_cast<const char16_t*>(full.data()), n);
        break;
      }
      full.resize(n);
    }
  }
  name += u":Zone.Identifier";
  return name;
}

}  // namespace ferrule
