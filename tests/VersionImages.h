#pragma once
// Builds version resources and the executable images that carry them, byte
// by byte, so tests can state exactly what a file holds: well-formed trees
// in the 32-bit and 16-bit layouts, trees whose lengths lie, and PE32,
// PE32+ and NE images around them.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace tovtest {

using Bytes = std::string;

inline void putU16(Bytes& b, std::uint16_t v) {
  b.push_back(static_cast<char>(v & 0xFF));
  b.push_back(static_cast<char>(v >> 8));
}
inline void putU32(Bytes& b, std::uint32_t v) {
  putU16(b, static_cast<std::uint16_t>(v & 0xFFFF));
  putU16(b, static_cast<std::uint16_t>(v >> 16));
}
inline void setU16(Bytes& b, std::size_t at, std::uint16_t v) {
  b[at] = static_cast<char>(v & 0xFF);
  b[at + 1] = static_cast<char>(v >> 8);
}
inline void setU32(Bytes& b, std::size_t at, std::uint32_t v) {
  setU16(b, at, static_cast<std::uint16_t>(v & 0xFFFF));
  setU16(b, at + 2, static_cast<std::uint16_t>(v >> 16));
}
inline void pad4(Bytes& b) {
  while (b.size() % 4 != 0) b.push_back('\0');
}
inline std::uint16_t getU16(const Bytes& b, std::size_t at) {
  return static_cast<std::uint16_t>(static_cast<unsigned char>(b[at]) | (static_cast<unsigned char>(b[at + 1]) << 8));
}

// One block of a version tree. Keys and text are given as UTF-16 and are
// written as UTF-16 (wide) or as their low bytes (narrow, test text is
// ASCII or Latin-1).
struct Block {
  std::u16string key;
  Bytes binary;                          // a binary value
  std::optional<std::u16string> text;    // or a text value (written with its NUL)
  std::vector<Block> children;
  // Lies a test may tell: a stated length or value length other than the
  // true one.
  std::optional<std::uint16_t> length;
  std::optional<std::uint16_t> valueLength;
};

inline Bytes encodeBlock(const Block& block, bool wide) {
  Bytes out;
  putU16(out, 0);
  putU16(out, 0);
  if (wide) putU16(out, block.text ? 1 : 0);
  for (char16_t c : block.key) wide ? putU16(out, c) : out.push_back(static_cast<char>(c));
  wide ? putU16(out, 0) : out.push_back('\0');
  pad4(out);
  std::uint16_t valueLength = 0;
  if (block.text) {
    for (char16_t c : *block.text) wide ? putU16(out, c) : out.push_back(static_cast<char>(c));
    wide ? putU16(out, 0) : out.push_back('\0');
    valueLength = static_cast<std::uint16_t>(wide ? block.text->size() + 1 : block.text->size() + 1);
  } else {
    out += block.binary;
    valueLength = static_cast<std::uint16_t>(block.binary.size());
  }
  for (const Block& child : block.children) {
    pad4(out);
    out += encodeBlock(child, wide);
  }
  setU16(out, 0, block.length.value_or(static_cast<std::uint16_t>(out.size())));
  setU16(out, 2, block.valueLength.value_or(valueLength));
  return out;
}

// The thirteen fields of the fixed file information, signature first.
using FixedInfo = std::array<std::uint32_t, 13>;

inline FixedInfo fixedInfo(std::uint32_t fileHigh, std::uint32_t fileLow, std::uint32_t productHigh,
                           std::uint32_t productLow) {
  return {0xFEEF04BD, 0x00010000, fileHigh, fileLow, productHigh, productLow, 0x3F, 0, 0x40004, 1, 0, 0, 0};
}

inline Bytes fixedInfoBytes(const FixedInfo& f) {
  Bytes b;
  for (std::uint32_t v : f) putU32(b, v);
  return b;
}

struct StringTable {
  std::u16string key;  // "040904B0"
  std::vector<std::pair<std::u16string, std::u16string>> strings;
};

inline Block stringFileInfo(const std::vector<StringTable>& tables) {
  Block info{u"StringFileInfo", {}, {}, {}, {}, {}};
  for (const StringTable& t : tables) {
    Block table{t.key, {}, {}, {}, {}, {}};
    for (const auto& [name, value] : t.strings) table.children.push_back(Block{name, {}, value, {}, {}, {}});
    info.children.push_back(std::move(table));
  }
  return info;
}

inline Block varFileInfo(const std::vector<std::pair<std::uint16_t, std::uint16_t>>& translations) {
  Bytes table;
  for (const auto& [language, codePage] : translations) {
    putU16(table, language);
    putU16(table, codePage);
  }
  Block translation{u"Translation", table, {}, {}, {}, {}};
  return Block{u"VarFileInfo", {}, {}, {translation}, {}, {}};
}

inline Block versionInfo(const FixedInfo& fixed, std::vector<Block> children) {
  return Block{u"VS_VERSION_INFO", fixedInfoBytes(fixed), {}, std::move(children), {}, {}};
}

// A usual resource: one string table and its translation entry.
inline Block simpleVersionInfo(const FixedInfo& fixed, std::u16string tableKey,
                               std::vector<std::pair<std::u16string, std::u16string>> strings,
                               std::vector<std::pair<std::uint16_t, std::uint16_t>> translations) {
  return versionInfo(fixed, {stringFileInfo({{std::move(tableKey), std::move(strings)}}), varFileInfo(translations)});
}

// A PE image with one section ".rsrc" holding a resource directory of
// type 16 (version), name `name`, one copy per language.
struct ResourceCopy {
  std::uint16_t language;
  Bytes data;
};

inline Bytes peImage(const std::vector<ResourceCopy>& copies, bool pe32Plus = false, std::uint16_t type = 16,
                     std::uint16_t name = 1) {
  constexpr std::uint32_t kRsrcRva = 0x1000;
  constexpr std::uint32_t kRsrcFile = 0x200;
  // Resource section: three directories, the data entries, the data.
  Bytes rsrc;
  auto directory = [&](std::uint16_t ids) {
    putU32(rsrc, 0);
    putU32(rsrc, 0);
    putU16(rsrc, 0);
    putU16(rsrc, 0);
    putU16(rsrc, 0);
    putU16(rsrc, ids);
  };
  directory(1);
  putU32(rsrc, type);
  putU32(rsrc, 0x80000000u | 24);
  directory(1);
  putU32(rsrc, name);
  putU32(rsrc, 0x80000000u | 48);
  directory(static_cast<std::uint16_t>(copies.size()));
  const std::size_t entriesAt = rsrc.size() + 8 * copies.size();
  for (std::size_t i = 0; i < copies.size(); ++i) {
    putU32(rsrc, copies[i].language);
    putU32(rsrc, static_cast<std::uint32_t>(entriesAt + 16 * i));
  }
  std::size_t dataAt = entriesAt + 16 * copies.size();
  std::vector<std::size_t> placed;
  for (const ResourceCopy& c : copies) {
    placed.push_back(dataAt);
    dataAt = (dataAt + c.data.size() + 3) & ~std::size_t{3};
  }
  for (std::size_t i = 0; i < copies.size(); ++i) {
    putU32(rsrc, static_cast<std::uint32_t>(kRsrcRva + placed[i]));
    putU32(rsrc, static_cast<std::uint32_t>(copies[i].data.size()));
    putU32(rsrc, 0);
    putU32(rsrc, 0);
  }
  for (const ResourceCopy& c : copies) {
    pad4(rsrc);
    rsrc += c.data;
  }
  const std::uint32_t rsrcSize = static_cast<std::uint32_t>(rsrc.size());
  while (rsrc.size() % 0x200 != 0) rsrc.push_back('\0');

  Bytes image(0x40, '\0');
  image[0] = 'M';
  image[1] = 'Z';
  setU32(image, 0x3C, 0x40);
  image += std::string("PE\0\0", 4);
  const std::uint16_t optionalSize = pe32Plus ? 0xF0 : 0xE0;
  putU16(image, pe32Plus ? 0x8664 : 0x14C);
  putU16(image, 1);
  putU32(image, 0);
  putU32(image, 0);
  putU32(image, 0);
  putU16(image, optionalSize);
  putU16(image, 0x2102);
  const std::size_t optional = image.size();
  image.resize(optional + optionalSize, '\0');
  setU16(image, optional, pe32Plus ? 0x20B : 0x10B);
  setU32(image, optional + 32, 0x1000);  // section alignment
  setU32(image, optional + 36, 0x200);   // file alignment
  setU32(image, optional + 56, 0x2000 + ((rsrcSize + 0xFFF) & ~0xFFFu));  // size of image
  setU32(image, optional + 60, kRsrcFile);  // size of headers
  const std::size_t countField = optional + (pe32Plus ? 108 : 92);
  setU32(image, countField, 16);
  setU32(image, countField + 4 + 16, kRsrcRva);
  setU32(image, countField + 4 + 20, rsrcSize);
  Bytes section(40, '\0');
  section.replace(0, 5, ".rsrc");
  setU32(section, 8, rsrcSize);
  setU32(section, 12, kRsrcRva);
  setU32(section, 16, static_cast<std::uint32_t>(rsrc.size()));
  setU32(section, 20, kRsrcFile);
  setU32(section, 36, 0x40000040);
  image += section;
  image.resize(kRsrcFile, '\0');
  return image + rsrc;
}

inline Bytes peImage(const Bytes& versionData, bool pe32Plus = false) {
  return peImage({{0x0409, versionData}}, pe32Plus);
}

// A 16-bit NE image whose resource table holds one resource of type
// `type` and name `name` (integer identifiers).
inline Bytes neImage(const Bytes& data, std::uint16_t type = 16, std::uint16_t name = 1) {
  constexpr std::uint16_t kShift = 4;
  Bytes image(0x40, '\0');
  image[0] = 'M';
  image[1] = 'Z';
  setU32(image, 0x3C, 0x40);
  Bytes header(0x40, '\0');
  header[0] = 'N';
  header[1] = 'E';
  Bytes table;
  putU16(table, kShift);
  putU16(table, static_cast<std::uint16_t>(0x8000 | type));
  putU16(table, 1);
  putU32(table, 0);
  const std::size_t nameInfo = table.size();
  putU16(table, 0);  // offset, set below
  putU16(table, static_cast<std::uint16_t>((data.size() + 15) >> kShift));
  putU16(table, 0x0030);
  putU16(table, static_cast<std::uint16_t>(0x8000 | name));
  putU32(table, 0);
  putU16(table, 0);  // end of types
  setU16(header, 0x24, 0x40);
  setU16(header, 0x26, static_cast<std::uint16_t>(0x40 + table.size()));
  image += header;
  image += table;
  image.push_back('\0');  // empty resident-name table
  while (image.size() % 16 != 0) image.push_back('\0');
  setU16(image, 0x80 + nameInfo, static_cast<std::uint16_t>(image.size() >> kShift));
  image += data;
  while (image.size() % 16 != 0) image.push_back('\0');
  return image;
}

}  // namespace tovtest
