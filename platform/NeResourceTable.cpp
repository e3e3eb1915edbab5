// The resource table of a 16-bit NE image.
#include <algorithm>

#include "platform/ExecutableImage.h"
#include "platform/WinError.h"

namespace tov::platform {
namespace {

constexpr std::uint64_t kResourceTableField = 0x24;
constexpr std::uint64_t kResidentNamesField = 0x26;
constexpr std::uint16_t kIntegerId = 0x8000;
constexpr std::size_t kTypeInfoSize = 8;
constexpr std::size_t kNameInfoSize = 12;
// Offsets are 16-bit values shifted left; beyond this the products pass
// any file a 64-bit offset can name, so the table is not believed.
constexpr std::uint16_t kMaxAlignShift = 32;

}  // namespace

std::uint32_t findNeResource(ImageBytes& image, std::uint64_t headerOffset, std::uint16_t type, std::uint16_t name,
                             ResourceLocation& found) {
  const auto tableField = image.u16(headerOffset + kResourceTableField);
  const auto namesField = image.u16(headerOffset + kResidentNamesField);
  if (!tableField || !namesField) return kErrorBadFormat;
  if (*tableField == *namesField) return kErrorResourceDataNotFound;

  // The resident-name table follows the resource table; where it does not,
  // the table may run at most to the end of the 16-bit offset range.
  const std::uint64_t start = headerOffset + *tableField;
  const std::uint64_t stated = *namesField > *tableField ? std::uint64_t{*namesField} - *tableField : 0x10000;
  if (start >= image.size()) return kErrorResourceDataNotFound;
  ByteVector table;
  if (!image.read(start, static_cast<std::size_t>(std::min(stated, image.size() - start)), table)) {
    return kErrorResourceDataNotFound;
  }
  if (table.size() < 2) return kErrorResourceDataNotFound;
  const std::uint16_t shift = loadU16(table.data());
  if (shift >= kMaxAlignShift) return kErrorResourceDataNotFound;

  bool typeSeen = false;
  // Every step moves on by at least one type record, so the walk ends at
  // the table's end at the latest.
  for (std::size_t pos = 2; pos + kTypeInfoSize <= table.size();) {
    const std::uint16_t typeId = loadU16(table.data() + pos);
    if (typeId == 0) break;
    const std::uint16_t count = loadU16(table.data() + pos + 2);
    pos += kTypeInfoSize;
    if (typeId != (kIntegerId | type)) {
      pos += std::size_t{count} * kNameInfoSize;
      continue;
    }
    typeSeen = true;
    for (std::uint16_t i = 0; i < count && pos + kNameInfoSize <= table.size(); ++i, pos += kNameInfoSize) {
      if (loadU16(table.data() + pos + 6) != (kIntegerId | name)) continue;
      const std::uint64_t offset = std::uint64_t{loadU16(table.data() + pos)} << shift;
      const std::uint64_t length = std::uint64_t{loadU16(table.data() + pos + 2)} << shift;
      if (offset >= image.size()) return kErrorResourceDataNotFound;
      found.format = ImageFormat::Ne;
      found.offset = offset;
      found.size = static_cast<std::uint32_t>(std::min({length, image.size() - offset, std::uint64_t{0xFFFFFFFF}}));
      return kErrorSuccess;
    }
  }
  return typeSeen ? kErrorResourceNameNotFound : kErrorResourceTypeNotFound;
}

}  // namespace tov::platform
