// The native form of a name on Windows: UTF-8 with the system's "\"
// separators. The layer's wide calls take it back to UTF-16 unchanged; a
// lone surrogate U+DC80-U+DCFF, which the system's names may hold, travels
// as its escaped byte and comes back as itself.
#include "platform/Path.h"

#include "platform/Utf.h"

namespace tov::platform {

std::string nativePath(std::u16string_view name) {
  std::string path = toUtf8Escaped(name);
  for (char& c : path) {
    if (c == '/') c = '\\';
  }
  return path;
}

std::u16string fromNativePath(std::string_view path) { return fromUtf8Escaped(path); }

bool isUsablePath(std::string_view path) { return path.find('\0') == std::string_view::npos; }

}  // namespace tov::platform
