#pragma once
// A 128-bit identifier of a class, an interface or a type library, written
// in the registry form "{xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx}".
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tov::automation {

struct Guid {
  std::uint32_t data1 = 0;
  std::uint16_t data2 = 0;
  std::uint16_t data3 = 0;
  std::array<std::uint8_t, 8> data4{};

  constexpr bool operator==(const Guid&) const = default;
  constexpr bool isNull() const { return *this == Guid{}; }

  // Upper-case hexadecimal in braces, as the registry stores it.
  std::u16string toString() const;
  // Accepts the braced and the bare form, any letter case; nothing else.
  static std::optional<Guid> parse(std::u16string_view text);
};

inline constexpr Guid kNullGuid{};

namespace detail {
consteval std::uint32_t hexDigit(char c) {
  if (c >= '0' && c <= '9') return static_cast<std::uint32_t>(c - '0');
  if (c >= 'A' && c <= 'F') return static_cast<std::uint32_t>(c - 'A' + 10);
  if (c >= 'a' && c <= 'f') return static_cast<std::uint32_t>(c - 'a' + 10);
  throw "not a hexadecimal digit";
}
consteval std::uint32_t hexField(const char* s, int digits) {
  std::uint32_t v = 0;
  for (int i = 0; i < digits; ++i) v = (v << 4) | hexDigit(s[i]);
  return v;
}
}  // namespace detail

// A GUID written in the bare registry form, checked at compile time:
// makeGuid("00020400-0000-0000-C000-000000000046").
consteval Guid makeGuid(const char (&s)[37]) {
  if (s[8] != '-' || s[13] != '-' || s[18] != '-' || s[23] != '-') throw "malformed GUID";
  Guid g;
  g.data1 = detail::hexField(s, 8);
  g.data2 = static_cast<std::uint16_t>(detail::hexField(s + 9, 4));
  g.data3 = static_cast<std::uint16_t>(detail::hexField(s + 14, 4));
  g.data4[0] = static_cast<std::uint8_t>(detail::hexField(s + 19, 2));
  g.data4[1] = static_cast<std::uint8_t>(detail::hexField(s + 21, 2));
  for (int i = 0; i < 6; ++i) g.data4[2 + i] = static_cast<std::uint8_t>(detail::hexField(s + 24 + 2 * i, 2));
  return g;
}

}  // namespace tov::automation
