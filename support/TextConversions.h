#pragma once
// Conversions between text and the system's single-byte code pages, one
// byte per UTF-16 code unit. Characters a page cannot hold become "?".
#include <string>
#include <string_view>

#include "support/ByteArray.h"

namespace tov {

// ANSI bytes of the text.
ByteArray asStrConvB(std::u16string_view text);
// Text decoded from ANSI bytes.
std::u16string asStrConvW(const ByteArray& bytes);
// Text whose ANSI bytes are the input's OEM bytes.
std::u16string asAnsiToOem(std::u16string_view text);
// The inverse: text whose OEM bytes are the input's ANSI bytes, read as text.
std::u16string asOemToAnsi(std::u16string_view text);
// Text whose ANSI bytes are the input's UTF-8 bytes. A surrogate pair gives
// one 4-byte sequence; a lone surrogate gives U+FFFD's bytes.
std::u16string asUNICODEToUTF8(std::u16string_view text);

}  // namespace tov
