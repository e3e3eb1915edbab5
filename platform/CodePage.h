#pragma once
// Single-byte Windows code pages ("ANSI" and "OEM") and the user's locale.
//
// Every byte decodes to some character (bytes a page leaves undefined decode
// to U+00XX, or to the private-use U+F7XX where the page already holds
// U+00XX elsewhere) and encodes back to itself, so any byte string
// round-trips.
// Characters a page cannot represent encode as "?".
#include <array>
#include <cstdint>
#include <mutex>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ByteVector.h"

namespace tov::platform {

class CodePage {
 public:
  // The page with this Windows number, or nullptr when it is not supported.
  static const CodePage* find(unsigned number);

  unsigned number() const { return number_; }
  char16_t decode(std::uint8_t byte) const { return toUnicode_[byte]; }
  std::uint8_t encode(char16_t c) const;  // '?' when unmappable

  std::u16string decode(std::span<const std::uint8_t> bytes) const;
  // One byte per UTF-16 code unit.
  ByteVector encode(std::u16string_view text) const;

  CodePage(unsigned number, const char16_t (&toUnicode)[256]);

 private:
  // UTF-16 code unit -> byte in two levels: the high byte picks a block of
  // 256 bytes, the low byte the entry. Every high byte the page never uses
  // shares block 0, which is all '?', so unmappable characters need no
  // separate check and a page costs a few KB instead of 64K.
  struct ReverseTable {
    std::array<std::uint16_t, 256> blockOfHighByte{};
    std::vector<std::array<std::uint8_t, 256>> blocks;
    std::uint8_t lookup(char16_t c) const {
      return blocks[blockOfHighByte[c >> 8]][c & 0xFF];
    }
  };
  // Built on first use: most pages are never encoded to.
  const ReverseTable& reverse() const;
  void buildReverse() const;

  unsigned number_;
  const char16_t* toUnicode_;
  mutable std::once_flag reverseBuilt_;
  mutable ReverseTable reverse_;
};

// The system's ANSI and OEM code pages: TOVAPPS_ACP / TOVAPPS_OEMCP (decimal
// page numbers) when set to a supported page, otherwise chosen from the
// locale the way Windows pairs them; 1252 and 437 for the C/POSIX locale.
unsigned GetACP();
unsigned GetOEMCP();
const CodePage& ansiCodePage();
const CodePage& oemCodePage();

// Windows language identifiers from the locale (ru_RU -> 0x0419,
// en_US -> 0x0409; C/POSIX -> 0x0409).
std::uint16_t GetUserDefaultLangID();
std::uint16_t GetSystemDefaultLangID();

}  // namespace tov::platform
