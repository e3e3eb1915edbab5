#pragma once
// File names as the rest of the system hands them over (UTF-16, "\" or "/")
// turned into names the POSIX calls take.
#include <string>
#include <string_view>

namespace tov::platform {

// UTF-8 path with every "\" turned into "/".
std::string nativePath(std::u16string_view name);

// The inverse for names coming back from the file system.
std::u16string fromNativePath(std::string_view path);

}  // namespace tov::platform
