#pragma once
// File names as the rest of the system hands them over (UTF-16, "\" or "/")
// turned into names the POSIX calls take, and back.
//
// Names never pass through a code page: they go to the file system as UTF-8,
// and bytes of a name that are not UTF-8 travel through UTF-16 as
// U+DC80-U+DCFF, so every name a directory holds can be named again.
#include <string>
#include <string_view>

namespace tov::platform {

// UTF-8 path with every "\" turned into "/". A name that cannot reach the
// file system as given (one holding U+0000 or a lone surrogate that stands
// for no byte) comes out holding a NUL byte: see isUsablePath.
std::string nativePath(std::u16string_view name);

// The inverse for names coming back from the file system.
std::u16string fromNativePath(std::string_view path);

// False for a path that a system call would cut short at an embedded NUL and
// so apply to another file. Every call that takes a path refuses those
// (EINVAL, shown to clients as "Bad file name or number").
bool isUsablePath(std::string_view path);

}  // namespace tov::platform
