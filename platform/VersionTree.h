#pragma once
// The tree of blocks a version resource is made of (VS_VERSIONINFO, then
// StringFileInfo with its string tables, VarFileInfo with Translation).
//
// Each block: its length in bytes (16 bits, itself and its children
// included), the length of its value, in the 32-bit layout a type (1 text,
// 0 binary), a key ended by NUL (UTF-16 in the 32-bit layout, ANSI in the
// 16-bit one), the value and the child blocks. Value and children each
// start on a 4-byte boundary counted from the start of the resource. A text
// value's length counts UTF-16 units, any other value's length bytes.
//
// The resource comes from an untrusted file: every length is held against
// the enclosing block and the buffer, so a tree whose lengths do not add up
// gives its readable part and nothing from outside.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "platform/ByteVector.h"

namespace tov::platform {

enum class VersionLayout : std::uint8_t {
  Wide,    // 32-bit resources: UTF-16 keys and text, a type field
  Narrow,  // 16-bit resources: ANSI keys and text, no type field
};

struct VersionBlock {
  std::size_t start = 0;
  std::size_t end = 0;              // one past the last byte, within the parent
  std::uint16_t valueLength = 0;    // as stored
  std::uint16_t type = 0;           // 1 for text (32-bit layout only)
  std::size_t keyStart = 0;
  std::size_t keyUnits = 0;         // characters before the NUL
  std::size_t valueStart = 0;
  std::size_t valueBytes = 0;       // the stated value, cut at the block's end
  std::size_t childrenStart = 0;
};

class VersionTree {
 public:
  VersionTree(std::span<const std::uint8_t> resource, VersionLayout layout) : bytes_(resource), layout_(layout) {}

  // The layout a resource is in: the 16-bit one has its root key right
  // after two length fields, the 32-bit one after three. `usual` decides
  // when the root key is not the expected "VS_VERSION_INFO".
  static VersionLayout layoutOf(std::span<const std::uint8_t> resource, VersionLayout usual);

  VersionLayout layout() const { return layout_; }
  std::span<const std::uint8_t> bytes() const { return bytes_; }

  std::optional<VersionBlock> root() const { return parse(0, bytes_.size()); }
  std::optional<VersionBlock> firstChild(const VersionBlock& parent) const {
    return parse(parent.childrenStart, parent.end);
  }
  std::optional<VersionBlock> nextSibling(const VersionBlock& parent, const VersionBlock& child) const;

  // The block at a path of keys separated by backslashes, such as
  // "\StringFileInfo\040904B0\CompanyName"; keys compare without regard
  // to case, and "" or "\" is the root.
  std::optional<VersionBlock> find(std::u16string_view path) const;

  std::u16string key(const VersionBlock& block) const;
  bool keyEquals(const VersionBlock& block, std::u16string_view name) const;
  std::span<const std::uint8_t> value(const VersionBlock& block) const {
    return bytes_.subspan(block.valueStart, block.valueBytes);
  }

 private:
  std::optional<VersionBlock> parse(std::size_t at, std::size_t limit) const;

  std::span<const std::uint8_t> bytes_;
  VersionLayout layout_;
};

// The 32-bit form of a 16-bit resource: keys and string values decoded from
// the ANSI code page, string values typed as text, everything else copied.
// Blocks nested deeper than any real resource nests, and children that
// would push a block past the 16-bit length limit, are left out. Empty when
// the resource has no readable root block.
ByteVector widenVersionTree(std::span<const std::uint8_t> narrow);

}  // namespace tov::platform
