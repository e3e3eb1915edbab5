#include "platform/Utf.h"

#include <cstdint>
#include <cstring>

namespace tov::platform {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool isHighSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool isLowSurrogate(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

void appendCodePoint(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out.push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else if (cp < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

void appendUtf16(std::u16string& out, char32_t cp) {
  if (cp < 0x10000) {
    out.push_back(static_cast<char16_t>(cp));
  } else {
    cp -= 0x10000;
    out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
    out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
  }
}

}  // namespace

void appendUtf8(std::string& out, std::u16string_view text) {
  const std::size_t n = text.size();
  for (std::size_t i = 0; i < n; ++i) {
    const char16_t c = text[i];
    if (c < 0x80) {
      out.push_back(static_cast<char>(c));
    } else if (isHighSurrogate(c) && i + 1 < n && isLowSurrogate(text[i + 1])) {
      // A pair is one supplementary character: one 4-byte sequence.
      char32_t cp = 0x10000 + ((static_cast<char32_t>(c) - 0xD800) << 10) +
                    (static_cast<char32_t>(text[i + 1]) - 0xDC00);
      appendCodePoint(out, cp);
      ++i;
    } else if (isHighSurrogate(c) || isLowSurrogate(c)) {
      appendCodePoint(out, kReplacement);
    } else {
      appendCodePoint(out, c);
    }
  }
}

std::string toUtf8Escaped(std::u16string_view text) {
  std::string out;
  out.reserve(text.size());
  const std::size_t n = text.size();
  for (std::size_t i = 0; i < n; ++i) {
    const char16_t c = text[i];
    if (c < 0x80) {
      out.push_back(static_cast<char>(c));
    } else if (isHighSurrogate(c) && i + 1 < n && isLowSurrogate(text[i + 1])) {
      appendCodePoint(out, 0x10000 + ((static_cast<char32_t>(c) - 0xD800) << 10) +
                               (static_cast<char32_t>(text[i + 1]) - 0xDC00));
      ++i;
    } else if (c >= 0xDC80 && c <= 0xDCFF) {
      out.push_back(static_cast<char>(c - 0xDC00));
    } else if (isHighSurrogate(c) || isLowSurrogate(c)) {
      out.push_back('\0');
    } else {
      appendCodePoint(out, c);
    }
  }
  return out;
}

std::string toUtf8(std::u16string_view text) {
  std::string out;
  out.reserve(text.size());
  appendUtf8(out, text);
  return out;
}

bool isWellFormedUtf8(std::string_view text) {
  const auto* s = reinterpret_cast<const unsigned char*>(text.data());
  const std::size_t n = text.size();
  std::size_t i = 0;
  while (i < n) {
    // Most text is ASCII: step over it eight bytes at a time.
    while (i + 8 <= n) {
      std::uint64_t word;
      std::memcpy(&word, s + i, 8);
      if (word & 0x8080808080808080ull) break;
      i += 8;
    }
    if (i >= n) break;
    if (s[i] < 0x80) {
      ++i;
      continue;
    }
    std::size_t len;
    char32_t cp;
    char32_t min;
    if ((s[i] & 0xE0) == 0xC0) { len = 2; cp = s[i] & 0x1F; min = 0x80; }
    else if ((s[i] & 0xF0) == 0xE0) { len = 3; cp = s[i] & 0x0F; min = 0x800; }
    else if ((s[i] & 0xF8) == 0xF0) { len = 4; cp = s[i] & 0x07; min = 0x10000; }
    else return false;
    if (i + len > n) return false;
    for (std::size_t k = 1; k < len; ++k) {
      if ((s[i + k] & 0xC0) != 0x80) return false;
      cp = (cp << 6) | (s[i + k] & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
    i += len;
  }
  return true;
}

namespace {

// Decodes UTF-8; `invalid` gives the code unit for each byte that starts no
// well-formed sequence.
template <typename Invalid>
std::u16string decodeUtf8(std::string_view text, Invalid invalid) {
  std::u16string out;
  out.reserve(text.size());
  const auto* s = reinterpret_cast<const unsigned char*>(text.data());
  const std::size_t n = text.size();
  std::size_t i = 0;
  while (i < n) {
    const unsigned char b = s[i];
    if (b < 0x80) {
      out.push_back(b);
      ++i;
      continue;
    }
    int len = 0;
    char32_t cp = 0;
    char32_t min = 0;
    if ((b & 0xE0) == 0xC0) { len = 2; cp = b & 0x1F; min = 0x80; }
    else if ((b & 0xF0) == 0xE0) { len = 3; cp = b & 0x0F; min = 0x800; }
    else if ((b & 0xF8) == 0xF0) { len = 4; cp = b & 0x07; min = 0x10000; }
    bool ok = len > 0 && i + len <= n;
    for (int k = 1; ok && k < len; ++k) {
      if ((s[i + k] & 0xC0) != 0x80) ok = false;
      else cp = (cp << 6) | (s[i + k] & 0x3F);
    }
    if (ok && (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))) ok = false;
    if (!ok) {
      out.push_back(invalid(b));
      ++i;
      continue;
    }
    appendUtf16(out, cp);
    i += len;
  }
  return out;
}

}  // namespace

std::u16string fromUtf8(std::string_view text) {
  return decodeUtf8(text, [](unsigned char) { return static_cast<char16_t>(kReplacement); });
}

std::u16string fromUtf8Escaped(std::string_view bytes) {
  return decodeUtf8(bytes, [](unsigned char b) { return static_cast<char16_t>(0xDC00 + b); });
}

}  // namespace tov::platform
