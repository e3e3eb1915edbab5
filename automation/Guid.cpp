#include "automation/Guid.h"

namespace tov::automation {
namespace {

constexpr char16_t kHexDigits[] = u"0123456789ABCDEF";

void appendHex(std::u16string& out, std::uint64_t value, int digits) {
  for (int shift = (digits - 1) * 4; shift >= 0; shift -= 4) out.push_back(kHexDigits[(value >> shift) & 0xF]);
}

int hexValue(char16_t c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'a' && c <= u'f') return c - u'a' + 10;
  if (c >= u'A' && c <= u'F') return c - u'A' + 10;
  return -1;
}

// Reads `digits` hexadecimal digits at `pos`, moving past them.
std::optional<std::uint64_t> readHex(std::u16string_view text, std::size_t& pos, int digits) {
  if (pos + static_cast<std::size_t>(digits) > text.size()) return std::nullopt;
  std::uint64_t value = 0;
  for (int i = 0; i < digits; ++i) {
    const int v = hexValue(text[pos++]);
    if (v < 0) return std::nullopt;
    value = (value << 4) | static_cast<std::uint64_t>(v);
  }
  return value;
}

bool readDash(std::u16string_view text, std::size_t& pos) {
  if (pos >= text.size() || text[pos] != u'-') return false;
  ++pos;
  return true;
}

}  // namespace

std::u16string Guid::toString() const {
  std::u16string out = u"{";
  appendHex(out, data1, 8);
  out.push_back(u'-');
  appendHex(out, data2, 4);
  out.push_back(u'-');
  appendHex(out, data3, 4);
  out.push_back(u'-');
  for (std::size_t i = 0; i < data4.size(); ++i) {
    if (i == 2) out.push_back(u'-');
    appendHex(out, data4[i], 2);
  }
  out.push_back(u'}');
  return out;
}

std::optional<Guid> Guid::parse(std::u16string_view text) {
  if (text.size() == 38) {
    if (text.front() != u'{' || text.back() != u'}') return std::nullopt;
    text = text.substr(1, 36);
  }
  if (text.size() != 36) return std::nullopt;
  Guid g;
  std::size_t pos = 0;
  const auto d1 = readHex(text, pos, 8);
  if (!d1 || !readDash(text, pos)) return std::nullopt;
  const auto d2 = readHex(text, pos, 4);
  if (!d2 || !readDash(text, pos)) return std::nullopt;
  const auto d3 = readHex(text, pos, 4);
  if (!d3 || !readDash(text, pos)) return std::nullopt;
  g.data1 = static_cast<std::uint32_t>(*d1);
  g.data2 = static_cast<std::uint16_t>(*d2);
  g.data3 = static_cast<std::uint16_t>(*d3);
  for (std::size_t i = 0; i < g.data4.size(); ++i) {
    if (i == 2 && !readDash(text, pos)) return std::nullopt;
    const auto b = readHex(text, pos, 2);
    if (!b) return std::nullopt;
    g.data4[i] = static_cast<std::uint8_t>(*b);
  }
  return g;
}

}  // namespace tov::automation
