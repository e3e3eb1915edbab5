#include "platform/DosAttributeRecord.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <string_view>

namespace tov::platform {
namespace {

struct Layout {
  std::uint16_t version;
  std::size_t size;         // bytes the fixed fields take
  std::size_t attributes;   // offset of the attributes in the fields
  std::size_t validFlags;   // offset of the valid flags, or kNoField
  std::size_t creation;     // offset of a flag-guarded creation time, or kNoField
};

constexpr std::size_t kNone = DosAttributeRecord::kNoField;

// Versions 1 and 2 carry a creation time without saying whether it counts;
// it is kept on a rewrite but not taken as the file's.
constexpr Layout kLayouts[] = {
    {1, 40, 0, kNone, kNone},
    {2, 52, 4, kNone, kNone},
    {3, 44, 4, 0, 28},
    {4, 24, 4, 0, 16},
    {5, 16, 4, 0, 8},
    {0xFFFF, 4, 0, kNone, kNone},  // the hex text's meaning, should it be stored binary
};

const Layout* layoutOf(std::uint16_t version) {
  for (const Layout& layout : kLayouts) {
    if (layout.version == version) return &layout;
  }
  return nullptr;
}

std::uint16_t read16(std::span<const std::uint8_t> bytes, std::size_t at) {
  return static_cast<std::uint16_t>(bytes[at] | (bytes[at + 1] << 8));
}

std::uint32_t read32(std::span<const std::uint8_t> bytes, std::size_t at) {
  return static_cast<std::uint32_t>(read16(bytes, at)) | (static_cast<std::uint32_t>(read16(bytes, at + 2)) << 16);
}

std::uint64_t read64(std::span<const std::uint8_t> bytes, std::size_t at) {
  return static_cast<std::uint64_t>(read32(bytes, at)) | (static_cast<std::uint64_t>(read32(bytes, at + 4)) << 32);
}

void write16(std::vector<std::uint8_t>& out, std::uint16_t v) {
  out.push_back(static_cast<std::uint8_t>(v));
  out.push_back(static_cast<std::uint8_t>(v >> 8));
}

void put32(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) out[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

std::size_t alignUp(std::size_t offset, std::size_t to) { return (offset + to - 1) / to * to; }

// The hex number as a server reads it: blanks, an optional "0x", at least
// one hex digit; what follows the digits does not matter.
std::optional<std::uint32_t> parseHexText(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) ++i;
  if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) i += 2;
  std::uint32_t value = 0;
  std::size_t digits = 0;
  for (; i < text.size(); ++i, ++digits) {
    const char c = text[i];
    int d;
    if (c >= '0' && c <= '9') d = c - '0';
    else if (c >= 'a' && c <= 'f') d = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F') d = c - 'A' + 10;
    else break;
    value = (value << 4) | static_cast<std::uint32_t>(d);
  }
  if (digits == 0) return std::nullopt;
  return value;
}

std::string hexText(std::uint32_t attributes) {
  char text[16];
  const int n = std::snprintf(text, sizeof text, "0x%x", attributes);
  return std::string(text, static_cast<std::size_t>(n));
}

}  // namespace

std::optional<DosAttributeRecord> parseDosAttributeRecord(std::span<const std::uint8_t> value) {
  DosAttributeRecord record;
  record.value.assign(value.begin(), value.end());
  const auto nul = std::find(value.begin(), value.end(), std::uint8_t{0});
  const std::size_t textEnd = static_cast<std::size_t>(nul - value.begin());
  const std::string_view text(reinterpret_cast<const char*>(value.data()), textEnd);

  // Nothing after the text (its NUL aside): the hex form.
  if (nul == value.end() || textEnd + 1 == value.size()) {
    const auto attributes = parseHexText(text);
    if (!attributes) return std::nullopt;
    record.hasAttributes = true;
    record.attributes = *attributes;
    return record;
  }

  const std::size_t versionAt = alignUp(textEnd + 1, 2);
  if (versionAt + 4 > value.size()) return std::nullopt;
  record.binary = true;
  record.version = read16(value, versionAt);
  if (read16(value, versionAt + 2) != record.version) return std::nullopt;
  const Layout* layout = layoutOf(record.version);
  if (layout == nullptr) return std::nullopt;
  record.fieldsAt = alignUp(versionAt + 4, 4);
  if (record.fieldsAt + layout->size > value.size()) return std::nullopt;

  const std::span<const std::uint8_t> fields = value.subspan(record.fieldsAt);
  record.attributesAt = record.fieldsAt + layout->attributes;
  const std::uint32_t flags = layout->validFlags == kNone ? kDosRecordAttributesValid : read32(fields, layout->validFlags);
  if (layout->validFlags != kNone) record.validFlagsAt = record.fieldsAt + layout->validFlags;
  record.hasAttributes = (flags & kDosRecordAttributesValid) != 0;
  if (record.hasAttributes) record.attributes = read32(fields, layout->attributes);
  if (layout->creation != kNone && (flags & kDosRecordCreationTimeValid) != 0) {
    record.creationTime = read64(fields, layout->creation);
  }
  return record;
}

std::vector<std::uint8_t> dosAttributeValue(const std::optional<DosAttributeRecord>& old, std::uint32_t attributes) {
  if (!old || !old->binary) {
    const std::string text = hexText(attributes);
    return std::vector<std::uint8_t>(text.begin(), text.end());
  }
  // The leading text only mirrors the attributes: an empty one stays empty,
  // any other is brought up to date, which may move the fields.
  const bool hadText = !old->value.empty() && old->value[0] != 0;
  const std::string text = hadText ? hexText(attributes) : std::string();
  std::vector<std::uint8_t> out(text.begin(), text.end());
  out.push_back(0);
  out.resize(alignUp(out.size(), 2), 0);
  write16(out, old->version);
  write16(out, old->version);
  out.resize(alignUp(out.size(), 4), 0);
  const std::size_t fieldsAt = out.size();
  out.insert(out.end(), old->value.begin() + static_cast<std::ptrdiff_t>(old->fieldsAt), old->value.end());
  put32(out, fieldsAt + (old->attributesAt - old->fieldsAt), attributes);
  if (old->validFlagsAt != DosAttributeRecord::kNoField) {
    const std::size_t at = fieldsAt + (old->validFlagsAt - old->fieldsAt);
    put32(out, at, read32(out, at) | kDosRecordAttributesValid);
  }
  return out;
}

}  // namespace tov::platform
