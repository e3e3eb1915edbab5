#pragma once
// The forms model's UTF-16 text and the window system's wide strings are
// the same units in different C++ types.
#include <windows.h>

#include <string>
#include <string_view>

namespace tov::ui::win32 {

inline std::wstring wide(std::u16string_view text) {
  return std::wstring(reinterpret_cast<const wchar_t*>(text.data()), text.size());
}

inline std::u16string fromWide(std::wstring_view text) {
  return std::u16string(reinterpret_cast<const char16_t*>(text.data()), text.size());
}

inline std::u16string windowText(HWND window) {
  const int length = ::GetWindowTextLengthW(window);
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  const int got = ::GetWindowTextW(window, text.data(), length + 1);
  text.resize(static_cast<std::size_t>(got > 0 ? got : 0));
  return fromWide(text);
}

}  // namespace tov::ui::win32
