// The compiled form: a header, one offset per type, a directory of
// segments, then the segments. The first segment holds one fixed-size
// record per type, whose identifier is an offset into the segment of
// identifiers and whose flags are a 32-bit field of its own.
#include "automation/TypeLibraryPatch.h"

#include <cstring>

namespace tov::automation {
namespace {

constexpr std::uint32_t kMagic = 0x5446534D;  // "MSFT"
constexpr std::size_t kHeaderSize = 0x54;
constexpr std::size_t kTypeCountAt = 0x20;
constexpr std::size_t kVarFlagsAt = 0x0C;
constexpr std::uint32_t kHelpDllFlag = 0x100;
constexpr std::size_t kSegmentEntrySize = 16;
constexpr int kTypeSegment = 0;
constexpr int kGuidSegment = 5;
constexpr std::size_t kTypeRecordSize = 0x64;
constexpr std::size_t kGuidOffsetInRecord = 0x2C;
constexpr std::size_t kFlagsInRecord = 0x30;

bool readU32(std::span<const std::uint8_t> bytes, std::size_t at, std::uint32_t& out) {
  if (at + 4 > bytes.size() || at + 4 < at) return false;
  out = static_cast<std::uint32_t>(bytes[at]) | static_cast<std::uint32_t>(bytes[at + 1]) << 8 |
        static_cast<std::uint32_t>(bytes[at + 2]) << 16 | static_cast<std::uint32_t>(bytes[at + 3]) << 24;
  return true;
}

void writeU32(std::span<std::uint8_t> bytes, std::size_t at, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(value >> (8 * i));
}

// The identifier as stored: the first three fields little-endian, then the
// eight bytes as they are.
bool guidAt(std::span<const std::uint8_t> bytes, std::size_t at, Guid& out) {
  if (at + 16 > bytes.size() || at + 16 < at) return false;
  std::uint32_t d1 = 0;
  readU32(bytes, at, d1);
  out.data1 = d1;
  out.data2 = static_cast<std::uint16_t>(bytes[at + 4] | bytes[at + 5] << 8);
  out.data3 = static_cast<std::uint16_t>(bytes[at + 6] | bytes[at + 7] << 8);
  std::memcpy(out.data4.data(), bytes.data() + at + 8, 8);
  return true;
}

struct Segment {
  std::uint32_t offset = 0;
  std::uint32_t length = 0;
};

bool segment(std::span<const std::uint8_t> bytes, std::size_t directory, int index, Segment& out) {
  const std::size_t at = directory + static_cast<std::size_t>(index) * kSegmentEntrySize;
  if (!readU32(bytes, at, out.offset) || !readU32(bytes, at + 4, out.length)) return false;
  return out.offset != 0xFFFFFFFFu && std::size_t{out.offset} + out.length <= bytes.size();
}

}  // namespace

bool addTypeFlags(std::span<std::uint8_t> library, const Guid& guid, std::uint32_t flags) {
  std::uint32_t magic = 0, typeCount = 0, varFlags = 0;
  if (!readU32(library, 0, magic) || magic != kMagic) return false;
  if (!readU32(library, kTypeCountAt, typeCount) || !readU32(library, kVarFlagsAt, varFlags)) return false;
  std::size_t directory = kHeaderSize + std::size_t{typeCount} * 4;
  if (varFlags & kHelpDllFlag) directory += 4;
  Segment types, guids;
  if (!segment(library, directory, kTypeSegment, types) || !segment(library, directory, kGuidSegment, guids)) {
    return false;
  }
  for (std::size_t record = types.offset; record + kTypeRecordSize <= std::size_t{types.offset} + types.length;
       record += kTypeRecordSize) {
    std::uint32_t guidOffset = 0;
    Guid stored;
    if (!readU32(library, record + kGuidOffsetInRecord, guidOffset) || guidOffset >= guids.length) continue;
    if (!guidAt(library, std::size_t{guids.offset} + guidOffset, stored) || stored != guid) continue;
    std::uint32_t old = 0;
    readU32(library, record + kFlagsInRecord, old);
    writeU32(library, record + kFlagsInRecord, old | flags);
    return true;
  }
  return false;
}

bool markPredeclaredClasses(std::span<std::uint8_t> library, const TypeLibraryDescription& description) {
  for (const ClassDescription& c : description.classes) {
    if ((c.flags & kClassPredeclared) && !addTypeFlags(library, c.clsid, kTypeFlagPredeclared)) return false;
  }
  return true;
}

}  // namespace tov::automation
