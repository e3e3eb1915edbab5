#include "platform/Path.h"

#include "platform/Utf.h"

namespace tov::platform {

std::string nativePath(std::u16string_view name) {
  std::string path = toUtf8Escaped(name);
  for (char& c : path) {
    if (c == '\\') c = '/';
  }
  return path;
}

std::u16string fromNativePath(std::string_view path) { return fromUtf8Escaped(path); }

bool isUsablePath(std::string_view path) { return path.find('\0') == std::string_view::npos; }

}  // namespace tov::platform
