#include "support/SystemFunctions.h"

#include <cstdio>
#include <cstring>

#include "platform/CodePage.h"

namespace tov {

bool asIsInIDE() { return false; }
bool asIsHostWinNT() { return true; }

std::u16string asFormatVersion(std::int32_t major, std::int32_t minor, std::int32_t revision) {
  char buf[48];
  std::snprintf(buf, sizeof buf, "%d.%02d.%04d", major, minor, revision);
  return std::u16string(buf, buf + std::strlen(buf));
}

std::uint16_t asHiWord(std::uint32_t value) { return static_cast<std::uint16_t>(value >> 16); }
std::uint16_t asLoWord(std::uint32_t value) { return static_cast<std::uint16_t>(value & 0xFFFF); }
std::uint8_t asHiByte(std::uint16_t value) { return static_cast<std::uint8_t>(value >> 8); }
std::uint8_t asLoByte(std::uint16_t value) { return static_cast<std::uint8_t>(value & 0xFF); }

std::u16string asHex2(std::uint16_t value) {
  char buf[8];
  std::snprintf(buf, sizeof buf, "%04X", static_cast<unsigned>(value));
  return std::u16string(buf, buf + 4);
}

std::u16string asGetStringFromPointerA(const char* address) {
  if (address == nullptr) return {};
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(address);
  return platform::ansiCodePage().decode({bytes, std::strlen(address)});
}

double asLargeIntegerToDouble(const void* address) {
  std::uint32_t halves[2];
  std::memcpy(halves, address, sizeof halves);
  return static_cast<double>((static_cast<std::uint64_t>(halves[1]) << 32) | halves[0]);
}

}  // namespace tov
