#include "platform/VersionTree.h"

#include <algorithm>
#include <cstring>

#include "platform/CaseFold.h"
#include "platform/CodePage.h"
#include "platform/ImageBytes.h"

namespace tov::platform {
namespace {

constexpr std::size_t align4(std::size_t n) { return (n + 3) & ~std::size_t{3}; }
constexpr std::uint16_t kTextType = 1;
constexpr std::size_t kMaxBlockLength = 0xFFFF;
// Real resources nest four deep (root, StringFileInfo, table, string).
constexpr int kMaxWidenDepth = 16;

constexpr std::u16string_view kRootKey = u"VS_VERSION_INFO";

bool startsWithNarrowKey(std::span<const std::uint8_t> bytes, std::size_t at) {
  if (bytes.size() < at + kRootKey.size()) return false;
  for (std::size_t i = 0; i < kRootKey.size(); ++i) {
    if (bytes[at + i] != kRootKey[i]) return false;
  }
  return true;
}

bool startsWithWideKey(std::span<const std::uint8_t> bytes, std::size_t at) {
  if (bytes.size() < at + 2 * kRootKey.size()) return false;
  for (std::size_t i = 0; i < kRootKey.size(); ++i) {
    if (loadU16(bytes.data() + at + 2 * i) != kRootKey[i]) return false;
  }
  return true;
}

}  // namespace

VersionLayout VersionTree::layoutOf(std::span<const std::uint8_t> resource, VersionLayout usual) {
  if (startsWithWideKey(resource, 6)) return VersionLayout::Wide;
  if (startsWithNarrowKey(resource, 4)) return VersionLayout::Narrow;
  return usual;
}

std::optional<VersionBlock> VersionTree::parse(std::size_t at, std::size_t limit) const {
  const bool wide = layout_ == VersionLayout::Wide;
  const std::size_t header = wide ? 6 : 4;
  limit = std::min(limit, bytes_.size());
  if (at > limit || limit - at < header) return std::nullopt;
  const std::uint8_t* p = bytes_.data();
  const std::uint16_t length = loadU16(p + at);
  if (length < header) return std::nullopt;

  VersionBlock b;
  b.start = at;
  b.end = std::min(at + length, limit);
  b.valueLength = loadU16(p + at + 2);
  b.type = wide ? loadU16(p + at + 4) : 0;
  b.keyStart = at + header;

  const std::size_t unit = wide ? 2 : 1;
  std::size_t pos = b.keyStart;
  bool terminated = false;
  for (; pos + unit <= b.end; pos += unit) {
    if ((wide ? loadU16(p + pos) : p[pos]) == 0) {
      terminated = true;
      break;
    }
  }
  b.keyUnits = (pos - b.keyStart) / unit;
  if (!terminated) {
    // A key that runs to the block's end leaves no room for anything else.
    b.valueStart = b.childrenStart = b.end;
    return b;
  }
  b.valueStart = std::min(align4(pos + unit), b.end);
  const std::size_t stated = (wide && b.type == kTextType) ? std::size_t{b.valueLength} * 2 : b.valueLength;
  b.valueBytes = std::min(stated, b.end - b.valueStart);
  b.childrenStart = std::min(align4(b.valueStart + stated), b.end);
  return b;
}

std::optional<VersionBlock> VersionTree::nextSibling(const VersionBlock& parent, const VersionBlock& child) const {
  // A block is at least a header long, so every step moves forward.
  return parse(align4(child.start + loadU16(bytes_.data() + child.start)), parent.end);
}

std::u16string VersionTree::key(const VersionBlock& block) const {
  if (layout_ == VersionLayout::Narrow) {
    return ansiCodePage().decode(bytes_.subspan(block.keyStart, block.keyUnits));
  }
  std::u16string text(block.keyUnits, u'\0');
  for (std::size_t i = 0; i < block.keyUnits; ++i) {
    text[i] = static_cast<char16_t>(loadU16(bytes_.data() + block.keyStart + 2 * i));
  }
  return text;
}

bool VersionTree::keyEquals(const VersionBlock& block, std::u16string_view name) const {
  if (block.keyUnits != name.size()) return false;
  if (layout_ == VersionLayout::Narrow) return equalsIgnoreCase(key(block), name);
  for (std::size_t i = 0; i < name.size(); ++i) {
    const char16_t c = static_cast<char16_t>(loadU16(bytes_.data() + block.keyStart + 2 * i));
    if (c != name[i] && foldCase(c) != foldCase(name[i])) return false;
  }
  return true;
}

std::optional<VersionBlock> VersionTree::find(std::u16string_view path) const {
  std::optional<VersionBlock> block = root();
  while (block && !path.empty()) {
    const std::size_t cut = path.find(u'\\');
    const std::u16string_view name = path.substr(0, cut);
    path = cut == std::u16string_view::npos ? std::u16string_view() : path.substr(cut + 1);
    if (name.empty()) continue;
    std::optional<VersionBlock> child = firstChild(*block);
    while (child && !keyEquals(*child, name)) child = nextSibling(*block, *child);
    block = child;
  }
  return block;
}

namespace {

void appendU16(ByteVector& out, std::uint16_t v) {
  out.push_back(static_cast<std::uint8_t>(v & 0xFF));
  out.push_back(static_cast<std::uint8_t>(v >> 8));
}

void padTo4(ByteVector& out) {
  while (out.size() % 4 != 0) out.push_back(0);
}

void storeU16(ByteVector& out, std::size_t at, std::uint16_t v) {
  out[at] = static_cast<std::uint8_t>(v & 0xFF);
  out[at + 1] = static_cast<std::uint8_t>(v >> 8);
}

// Which blocks hold text: the strings of a table of StringFileInfo.
enum class Place { Root, StringFileInfo, StringTable, String, Other };

Place childPlace(Place parent, const VersionTree& tree, const VersionBlock& child) {
  switch (parent) {
    case Place::Root: return tree.keyEquals(child, u"StringFileInfo") ? Place::StringFileInfo : Place::Other;
    case Place::StringFileInfo: return Place::StringTable;
    case Place::StringTable: return Place::String;
    default: return Place::Other;
  }
}

ByteVector widenBlock(const VersionTree& tree, const VersionBlock& block, Place place, int depth) {
  ByteVector out(6, 0);
  for (char16_t c : tree.key(block)) appendU16(out, c);
  appendU16(out, 0);
  padTo4(out);
  if (out.size() > kMaxBlockLength) return {};

  std::uint16_t valueLength = 0;
  std::uint16_t type = 0;
  const std::span<const std::uint8_t> value = tree.value(block);
  if (place == Place::String) {
    type = kTextType;
    if (block.valueLength > 0) {
      const std::size_t textBytes = std::find(value.begin(), value.end(), 0) - value.begin();
      std::u16string text = ansiCodePage().decode(value.first(textBytes));
      const std::size_t room = (kMaxBlockLength - out.size()) / 2;
      if (text.size() + 1 > room) text.resize(room > 0 ? room - 1 : 0);
      if (room > 0) {
        for (char16_t c : text) appendU16(out, c);
        appendU16(out, 0);
        valueLength = static_cast<std::uint16_t>(text.size() + 1);
      }
    }
  } else {
    const std::size_t n = std::min(value.size(), kMaxBlockLength - out.size());
    out.insert(out.end(), value.begin(), value.begin() + static_cast<std::ptrdiff_t>(n));
    valueLength = static_cast<std::uint16_t>(n);
  }

  if (depth < kMaxWidenDepth) {
    for (auto child = tree.firstChild(block); child; child = tree.nextSibling(block, *child)) {
      ByteVector wide = widenBlock(tree, *child, childPlace(place, tree, *child), depth + 1);
      if (wide.empty()) continue;
      if (align4(out.size()) + wide.size() > kMaxBlockLength) break;
      padTo4(out);
      out.insert(out.end(), wide.begin(), wide.end());
    }
  }
  storeU16(out, 0, static_cast<std::uint16_t>(out.size()));
  storeU16(out, 2, valueLength);
  storeU16(out, 4, type);
  return out;
}

}  // namespace

ByteVector widenVersionTree(std::span<const std::uint8_t> narrow) {
  const VersionTree tree(narrow, VersionLayout::Narrow);
  const std::optional<VersionBlock> root = tree.root();
  if (!root) return {};
  return widenBlock(tree, *root, Place::Root, 0);
}

}  // namespace tov::platform
