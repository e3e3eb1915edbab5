#include "platform/CaseFold.h"

#include <algorithm>

namespace tov::platform {
namespace {

bool inRange(char16_t c, char16_t first, char16_t last) { return c >= first && c <= last; }

// Blocks where upper and lower case alternate: the upper-case letter sits on
// the even (or odd) unit and its lower-case partner right after it.
char16_t foldAlternating(char16_t c, bool upperIsEven) {
  const bool isEven = (c % 2) == 0;
  return isEven == upperIsEven ? c : static_cast<char16_t>(c - 1);
}

char16_t foldLatin(char16_t c) {
  if (inRange(c, u'a', u'z')) return static_cast<char16_t>(c - 0x20);
  if (inRange(c, 0x00E0, 0x00FE) && c != 0x00F7) return static_cast<char16_t>(c - 0x20);
  if (c == 0x00FF) return 0x0178;
  // Dotless i and the dotted capital I stay apart: folding them would make
  // "I" and "i" match differently depending on the direction.
  if (inRange(c, 0x0100, 0x012F) || inRange(c, 0x0132, 0x0137) || inRange(c, 0x014A, 0x0177))
    return foldAlternating(c, true);
  if (inRange(c, 0x0139, 0x0148) || inRange(c, 0x0179, 0x017E)) return foldAlternating(c, false);
  if (inRange(c, 0x01CD, 0x01DC)) return foldAlternating(c, false);
  if (inRange(c, 0x01DE, 0x01EF) || inRange(c, 0x01F8, 0x021F) || inRange(c, 0x0222, 0x0233) ||
      inRange(c, 0x0246, 0x024F))
    return foldAlternating(c, true);
  return c;
}

char16_t foldGreekAndCyrillic(char16_t c) {
  if (inRange(c, 0x03B1, 0x03C9) && c != 0x03C2) return static_cast<char16_t>(c - 0x20);
  if (c == 0x03C2) return 0x03A3;  // final sigma is a small sigma
  if (inRange(c, 0x0430, 0x044F)) return static_cast<char16_t>(c - 0x20);
  if (inRange(c, 0x0450, 0x045F)) return static_cast<char16_t>(c - 0x50);
  if (inRange(c, 0x0460, 0x0481) || inRange(c, 0x048A, 0x04BF) || inRange(c, 0x04D0, 0x052F))
    return foldAlternating(c, true);
  if (inRange(c, 0x04C1, 0x04CE)) return foldAlternating(c, false);
  if (c == 0x04CF) return 0x04C0;
  return c;
}

}  // namespace

char16_t foldCase(char16_t c) {
  if (c < 0x80) return inRange(c, u'a', u'z') ? static_cast<char16_t>(c - 0x20) : c;
  if (c < 0x0370) return foldLatin(c);
  if (c < 0x0530) return foldGreekAndCyrillic(c);
  return c;
}

bool equalsIgnoreCase(std::u16string_view a, std::u16string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (a[i] != b[i] && foldCase(a[i]) != foldCase(b[i])) return false;
  }
  return true;
}

bool lessIgnoringCase(std::u16string_view a, std::u16string_view b) {
  const std::size_t n = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < n; ++i) {
    const char16_t x = foldCase(a[i]);
    const char16_t y = foldCase(b[i]);
    if (x != y) return x < y;
  }
  if (a.size() != b.size()) return a.size() < b.size();
  return a < b;
}

}  // namespace tov::platform
