#pragma once
// Small support functions about the host, versions and numbers.
#include <cstdint>
#include <string>

namespace tov {

// True only under the development host; this build never runs under one.
bool asIsInIDE();
// True on an NT-family system: the file services behave as there.
bool asIsHostWinNT();

// "1.01.0004" for 1, 1, 4: minor with two digits, revision with four.
std::u16string asFormatVersion(std::int32_t major, std::int32_t minor, std::int32_t revision);

std::uint16_t asHiWord(std::uint32_t value);
std::uint16_t asLoWord(std::uint32_t value);
std::uint8_t asHiByte(std::uint16_t value);
std::uint8_t asLoByte(std::uint16_t value);
// Four upper-case hex digits with leading zeros.
std::u16string asHex2(std::uint16_t value);

// The NUL-terminated ANSI text at the address ("" for a null address).
std::u16string asGetStringFromPointerA(const char* address);
// The unsigned 64-bit value stored low half first at the address, as a double.
double asLargeIntegerToDouble(const void* address);

}  // namespace tov
