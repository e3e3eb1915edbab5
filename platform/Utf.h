#pragma once
// UTF-8 <-> UTF-16 at the edges of the system. Text inside is UTF-16.
#include <string>
#include <string_view>

namespace tov::platform {

// Ill-formed input (lone surrogates, bad UTF-8 sequences) becomes U+FFFD,
// the way the Windows UTF-8 conversion treats it.
std::string toUtf8(std::u16string_view text);
std::u16string fromUtf8(std::string_view text);

// True when the bytes are well-formed UTF-8 (no surrogates, no overlong
// forms), i.e. fromUtf8 would not replace anything.
bool isWellFormedUtf8(std::string_view text);

// Appends the UTF-8 form of text to out; the fast path of the converter.
void appendUtf8(std::string& out, std::u16string_view text);

// Byte strings that are names rather than text (file names, arguments):
// every byte that is not part of well-formed UTF-8 becomes the lone
// surrogate U+DC80-U+DCFF of its value, and turns back into that same byte,
// so a name the file system holds reaches it again unchanged.
std::u16string fromUtf8Escaped(std::string_view bytes);
// The inverse. A code unit that stands for no byte (any other lone
// surrogate) becomes a NUL byte, which no file name can hold, so such a name
// is refused instead of reaching some other file.
std::string toUtf8Escaped(std::u16string_view text);

}  // namespace tov::platform
