#pragma once
// The value of the extended attribute "user.DOSATTRIB": a file's DOS
// attributes as a file server that shares the directory with Windows
// clients keeps them, and, in the binary form, the creation time a client
// set.
//
// Two forms are in use:
// - hex text, "0x22", with or without a closing NUL. Every server version
//   reads it, and so do the layers that run Windows programs on POSIX.
// - a binary record: a NUL-terminated text (empty in current servers,
//   the hex text in older ones), then, at an even offset, a 16-bit version
//   that is repeated as the level of the fields, then, at an offset that is
//   a multiple of 4, the fields of that version, all little-endian:
//     1: attributes, EA size, size (8), allocation size (8), creation time, change time
//     2: flags, attributes, EA size, size, allocation size, creation, change and write time, name
//     3: valid flags, attributes, EA size, size, allocation size, creation time, change time
//     4: valid flags, attributes, birth time of the inode, creation time
//     5: valid flags, attributes, creation time
//   Times are 100 ns ticks since 1601 (FILETIME), zero for none. In
//   versions 3 to 5 a field counts only when its valid flag is set.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace tov::platform {

constexpr std::uint32_t kDosRecordAttributesValid = 0x01;
constexpr std::uint32_t kDosRecordCreationTimeValid = 0x10;

struct DosAttributeRecord {
  bool binary = false;
  std::uint16_t version = 0;       // of the binary form
  bool hasAttributes = false;      // the record says what the attributes are
  std::uint32_t attributes = 0;
  std::uint64_t creationTime = 0;  // FILETIME ticks; 0 when the record keeps none

  // Where the fields start in `value` and where in them the attributes and
  // the valid flags are (kNoField for a version without flags), so a
  // rewrite changes those and keeps every other byte.
  static constexpr std::size_t kNoField = static_cast<std::size_t>(-1);
  std::vector<std::uint8_t> value;
  std::size_t fieldsAt = 0;
  std::size_t attributesAt = kNoField;
  std::size_t validFlagsAt = kNoField;
};

// The record in an attribute's value, or nothing when the value is neither
// form (too short for its version, a level that differs from the version,
// an unknown version, text without a hex number): a server ignores such a
// value too.
std::optional<DosAttributeRecord> parseDosAttributeRecord(std::span<const std::uint8_t> value);

// The value that stores `attributes`. A binary record is rewritten in its
// own version with only the attributes (and its text, when it had one)
// changed, so the creation time and whatever else a client stored are kept;
// without one the hex text is written, the form every reader knows.
std::vector<std::uint8_t> dosAttributeValue(const std::optional<DosAttributeRecord>& old, std::uint32_t attributes);

}  // namespace tov::platform
