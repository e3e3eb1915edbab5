#pragma once
// How the bytes of an INI file map to text: the byte-order mark decides,
// and a file without one is in the caller's plain encoding (the ANSI code
// page for the Windows-style functions, UTF-8 for the settings store).
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "platform/ByteVector.h"

namespace tov::platform {

enum class ProfileEncoding { Ansi, Utf8, Utf16Le, Utf16Be };

struct DetectedEncoding {
  ProfileEncoding encoding;
  std::size_t bomSize;  // bytes of the byte-order mark at the start
};

// FF FE: UTF-16 LE, FE FF: UTF-16 BE, EF BB BF: UTF-8, otherwise `plain`.
DetectedEncoding detectProfileEncoding(std::span<const std::uint8_t> bytes, ProfileEncoding plain);

// Bytes per code unit: 2 for UTF-16, 1 otherwise. Line breaks are whole
// code units, so lines can be split before decoding.
std::size_t profileUnitSize(ProfileEncoding encoding);

// The code unit at `offset` (a byte, or a UTF-16 unit in the file's order).
char16_t profileUnitAt(std::span<const std::uint8_t> bytes, std::size_t offset, ProfileEncoding encoding);

// Decoding never fails: bytes that are not valid in the encoding become
// U+FFFD (UTF-8) or the code page's stand-in character.
std::u16string decodeProfileText(std::span<const std::uint8_t> bytes, ProfileEncoding encoding);
// Characters the ANSI code page cannot hold become "?", as Windows writes them.
ByteVector encodeProfileText(std::u16string_view text, ProfileEncoding encoding);

// Whether the text survives encoding unchanged: false for characters the
// ANSI code page lacks and for lone surrogates in UTF-8.
bool isRepresentable(std::u16string_view text, ProfileEncoding encoding);

}  // namespace tov::platform
