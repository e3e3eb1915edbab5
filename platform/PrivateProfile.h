#pragma once
// The Windows private-profile functions on INI files named like every other
// file (UTF-16, "\" or "/"). Files without a byte-order mark, and files these
// functions create, are in the ANSI code page with CR LF line breaks; files
// starting with a UTF-16 or UTF-8 byte-order mark keep that encoding.
// Every call sets the thread's last error as ProfileFile describes.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tov::platform {

// The value, or `defaultValue` without its trailing blanks when the file,
// section or key is missing or the file cannot be read.
std::u16string GetPrivateProfileStringW(std::u16string_view section, std::u16string_view key,
                                        std::u16string_view defaultValue, std::u16string_view fileName);

// The value read as an integer: leading blanks skipped, an optional sign,
// an optional "0x" for hexadecimal, then digits up to the first non-digit
// (no digits give 0; overflow wraps as the 32-bit result Windows returns).
// `defaultValue` when the key is missing or its value is empty.
std::int32_t GetPrivateProfileIntW(std::u16string_view section, std::u16string_view key, std::int32_t defaultValue,
                                   std::u16string_view fileName);

// Stores `value` under the key, creating the file and section as needed.
// No value removes the key (the section header stays); no key removes the
// whole section.
bool WritePrivateProfileStringW(std::u16string_view section, std::optional<std::u16string_view> key,
                                std::optional<std::u16string_view> value, std::u16string_view fileName);

// Whether the key is present in the section, whatever its value.
bool isProfileKeyPresent(std::u16string_view section, std::u16string_view key, std::u16string_view fileName);

}  // namespace tov::platform
