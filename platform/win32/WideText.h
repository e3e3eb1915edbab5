#pragma once
// The system's wide strings and the rest of the code's UTF-16 strings are
// the same 16-bit units; only the C++ types differ.
#include <string>
#include <string_view>

#include "platform/Utf.h"

namespace tov::platform::win32 {

inline std::wstring wide(std::u16string_view text) {
  return std::wstring(reinterpret_cast<const wchar_t*>(text.data()), text.size());
}

inline std::u16string fromWide(std::wstring_view text) {
  return std::u16string(reinterpret_cast<const char16_t*>(text.data()), text.size());
}

// A name in the layer's native form (UTF-8, see Path.h) for the wide calls.
inline std::wstring wideFromNative(std::string_view path) { return wide(fromUtf8Escaped(path)); }

}  // namespace tov::platform::win32
