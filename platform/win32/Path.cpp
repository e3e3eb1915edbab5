// The native form of a name on Windows: UTF-8 with the system's "\"
// separators. The layer's wide calls take it back to UTF-16 unchanged.
#include "platform/Path.h"

#include "platform/Utf.h"

namespace tov::platform {

std::string nativePath(std::u16string_view name) {
  std::string path = toUtf8(name);
  for (char& c : path) {
    if (c == '/') c = '\\';
  }
  return path;
}

std::u16string fromNativePath(std::string_view path) { return fromUtf8(path); }

}  // namespace tov::platform
