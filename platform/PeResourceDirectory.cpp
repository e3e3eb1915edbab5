// The resource directory of a PE32 or PE32+ image.
#include <algorithm>
#include <optional>
#include <vector>

#include "platform/ExecutableImage.h"
#include "platform/WinError.h"

namespace tov::platform {
namespace {

constexpr std::uint16_t kMagicPe32 = 0x10B;
constexpr std::uint16_t kMagicPe32Plus = 0x20B;
constexpr std::uint32_t kResourceDirectoryIndex = 2;
constexpr std::uint32_t kSectionHeaderSize = 40;
constexpr std::uint32_t kDirectoryHeaderSize = 16;
constexpr std::uint32_t kDirectoryEntrySize = 8;
constexpr std::uint32_t kDataEntrySize = 16;
constexpr std::uint32_t kHighBit = 0x80000000u;
// The loader reads section data from PointerToRawData rounded down to this,
// whatever the file alignment says, unless that alignment is smaller.
constexpr std::uint32_t kSectorSize = 0x200;

struct Section {
  std::uint32_t virtualAddress;
  std::uint32_t rawSize;
  std::uint32_t rawPointer;
};

// Where the bytes of an address of the loaded image lie in the file.
struct FileSpan {
  std::uint64_t offset;
  std::uint64_t length;  // bytes from offset to the end of what the file holds there
};

class PeImage {
 public:
  explicit PeImage(ImageBytes& image) : image_(image) {}

  // Reads the headers; returns kErrorSuccess with resourceRva() set, or the
  // error that ends the search.
  std::uint32_t load(std::uint64_t headerOffset);
  std::uint32_t resourceRva() const { return resourceRva_; }
  std::optional<FileSpan> map(std::uint64_t rva) const;
  ImageBytes& bytes() { return image_; }

 private:
  ImageBytes& image_;
  std::vector<Section> sections_;
  std::uint32_t sizeOfHeaders_ = 0;
  std::uint32_t resourceRva_ = 0;
};

std::uint32_t PeImage::load(std::uint64_t headerOffset) {
  const std::uint64_t coff = headerOffset + 4;
  const std::uint64_t optional = coff + 20;
  const auto sectionCount = image_.u16(coff + 2);
  const auto optionalSize = image_.u16(coff + 16);
  const auto magic = image_.u16(optional);
  if (!sectionCount || !optionalSize || !magic) return kErrorBadFormat;
  std::uint64_t countField = 0;
  if (*magic == kMagicPe32) countField = 92;
  else if (*magic == kMagicPe32Plus) countField = 108;
  else return kErrorBadFormat;
  const auto fileAlignment = image_.u32(optional + 36);
  const auto sizeOfHeaders = image_.u32(optional + 60);
  const auto directoryCount = image_.u32(optional + countField);
  if (!fileAlignment || !sizeOfHeaders || !directoryCount) return kErrorBadFormat;
  sizeOfHeaders_ = *sizeOfHeaders;

  // The resource entry counts only when the header says it holds it.
  const std::uint64_t entry = countField + 4 + kResourceDirectoryIndex * 8;
  if (*directoryCount <= kResourceDirectoryIndex || entry + 8 > *optionalSize) return kErrorResourceDataNotFound;
  const auto rva = image_.u32(optional + entry);
  const auto size = image_.u32(optional + entry + 4);
  if (!rva || !size) return kErrorBadFormat;
  if (*rva == 0 || *size == 0) return kErrorResourceDataNotFound;
  resourceRva_ = *rva;

  const std::uint64_t table = optional + *optionalSize;
  ByteVector raw;
  if (!image_.read(table, std::size_t{*sectionCount} * kSectionHeaderSize, raw)) return kErrorBadFormat;
  sections_.reserve(*sectionCount);
  for (std::size_t i = 0; i < *sectionCount; ++i) {
    const std::uint8_t* s = raw.data() + i * kSectionHeaderSize;
    std::uint32_t pointer = loadU32(s + 20);
    if (*fileAlignment >= kSectorSize) pointer &= ~(kSectorSize - 1);
    sections_.push_back({loadU32(s + 12), loadU32(s + 16), pointer});
  }
  return kErrorSuccess;
}

std::optional<FileSpan> PeImage::map(std::uint64_t rva) const {
  for (const Section& s : sections_) {
    if (rva < s.virtualAddress || rva - s.virtualAddress >= s.rawSize) continue;
    const std::uint64_t delta = rva - s.virtualAddress;
    const std::uint64_t offset = std::uint64_t{s.rawPointer} + delta;
    if (offset >= image_.size()) return std::nullopt;
    return FileSpan{offset, std::min<std::uint64_t>(s.rawSize - delta, image_.size() - offset)};
  }
  // Addresses below the first section lie in the headers, mapped as they
  // are in the file.
  if (rva < sizeOfHeaders_ && rva < image_.size()) {
    return FileSpan{rva, std::min<std::uint64_t>(sizeOfHeaders_ - rva, image_.size() - rva)};
  }
  return std::nullopt;
}

struct DirectoryEntry {
  std::uint32_t name;    // integer identifier, or a string's offset with the high bit
  std::uint32_t target;  // offset of a subdirectory with the high bit, else of a data entry
  bool isInteger() const { return (name & kHighBit) == 0; }
  bool isDirectory() const { return (target & kHighBit) != 0; }
  std::uint32_t targetOffset() const { return target & ~kHighBit; }
};

// The entries of the directory at `offset` from the start of the resources;
// nullopt when it is not all in the file.
std::optional<std::vector<DirectoryEntry>> readDirectory(PeImage& pe, std::uint64_t offset) {
  const std::optional<FileSpan> at = pe.map(std::uint64_t{pe.resourceRva()} + offset);
  if (!at || at->length < kDirectoryHeaderSize) return std::nullopt;
  ByteVector header;
  if (!pe.bytes().read(at->offset, kDirectoryHeaderSize, header)) return std::nullopt;
  const std::uint64_t count = std::uint64_t{loadU16(header.data() + 12)} + loadU16(header.data() + 14);
  const std::uint64_t tableSize = count * kDirectoryEntrySize;
  if (at->length - kDirectoryHeaderSize < tableSize) return std::nullopt;
  ByteVector raw;
  if (!pe.bytes().read(at->offset + kDirectoryHeaderSize, static_cast<std::size_t>(tableSize), raw)) {
    return std::nullopt;
  }
  std::vector<DirectoryEntry> entries(static_cast<std::size_t>(count));
  for (std::size_t i = 0; i < entries.size(); ++i) {
    entries[i] = {loadU32(raw.data() + i * kDirectoryEntrySize), loadU32(raw.data() + i * kDirectoryEntrySize + 4)};
  }
  return entries;
}

const DirectoryEntry* findInteger(const std::vector<DirectoryEntry>& entries, std::uint32_t id, bool directory) {
  for (const DirectoryEntry& e : entries) {
    if (e.isInteger() && e.name == id && e.isDirectory() == directory) return &e;
  }
  return nullptr;
}

// The copy in the first wanted language, else the first copy of all.
const DirectoryEntry* chooseLanguage(const std::vector<DirectoryEntry>& entries,
                                     std::span<const std::uint16_t> languages) {
  for (std::uint16_t language : languages) {
    if (const DirectoryEntry* e = findInteger(entries, language, false)) return e;
  }
  for (const DirectoryEntry& e : entries) {
    if (!e.isDirectory()) return &e;
  }
  return nullptr;
}

}  // namespace

std::uint32_t findPeResource(ImageBytes& image, std::uint64_t headerOffset, std::uint16_t type, std::uint16_t name,
                             std::span<const std::uint16_t> languages, ResourceLocation& found) {
  PeImage pe(image);
  if (const std::uint32_t err = pe.load(headerOffset); err != kErrorSuccess) return err;

  // Exactly three levels are followed, so a directory that points back at
  // itself or at its parent is only ever read three times.
  const auto types = readDirectory(pe, 0);
  if (!types) return kErrorResourceDataNotFound;
  const DirectoryEntry* typeEntry = findInteger(*types, type, true);
  if (!typeEntry) return kErrorResourceTypeNotFound;
  const auto names = readDirectory(pe, typeEntry->targetOffset());
  if (!names) return kErrorResourceTypeNotFound;
  const DirectoryEntry* nameEntry = findInteger(*names, name, true);
  if (!nameEntry) return kErrorResourceNameNotFound;
  const auto copies = readDirectory(pe, nameEntry->targetOffset());
  if (!copies) return kErrorResourceNameNotFound;
  const DirectoryEntry* copy = chooseLanguage(*copies, languages);
  if (!copy) return kErrorResourceLangNotFound;

  const std::optional<FileSpan> entryAt = pe.map(std::uint64_t{pe.resourceRva()} + copy->targetOffset());
  ByteVector entry;
  if (!entryAt || entryAt->length < kDataEntrySize || !image.read(entryAt->offset, kDataEntrySize, entry)) {
    return kErrorResourceDataNotFound;
  }
  const std::optional<FileSpan> data = pe.map(loadU32(entry.data()));
  if (!data) return kErrorResourceDataNotFound;
  found.format = ImageFormat::Pe;
  found.offset = data->offset;
  // What the file does not hold is not read: a size past the section or
  // the end of the file leaves the readable part.
  found.size = static_cast<std::uint32_t>(std::min<std::uint64_t>(loadU32(entry.data() + 4), data->length));
  return kErrorSuccess;
}

}  // namespace tov::platform
