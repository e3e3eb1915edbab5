#include "platform/ImageBytes.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace tov::platform {
namespace {

// Enough for the DOS stub, the new header and a usual section table.
constexpr std::size_t kHeadBytes = 4096;

}  // namespace

bool ImageBytes::contains(std::uint64_t offset, std::uint64_t length) const {
  return offset <= size() && length <= size() - offset;
}

bool ImageBytes::read(std::uint64_t offset, std::size_t length, ByteVector& out) {
  if (!contains(offset, length)) return false;
  out.resize(length);
  return read(offset, std::span<std::uint8_t>(out.data(), out.size()));
}

std::optional<std::uint16_t> ImageBytes::u16(std::uint64_t offset) {
  std::uint8_t b[2];
  if (!read(offset, b)) return std::nullopt;
  return loadU16(b);
}

std::optional<std::uint32_t> ImageBytes::u32(std::uint64_t offset) {
  std::uint8_t b[4];
  if (!read(offset, b)) return std::nullopt;
  return loadU32(b);
}

bool MemoryImageBytes::read(std::uint64_t offset, std::span<std::uint8_t> out) {
  if (!contains(offset, out.size())) return false;
  if (!out.empty()) std::memcpy(out.data(), bytes_.data() + offset, out.size());
  return true;
}

FileImageBytes::FileImageBytes(int fd, std::uint64_t size) : fd_(fd), size_(size) {
  ByteVector head(static_cast<std::size_t>(std::min<std::uint64_t>(size_, kHeadBytes)));
  if (readFromFile(0, std::span<std::uint8_t>(head.data(), head.size()))) head_ = std::move(head);
}

bool FileImageBytes::read(std::uint64_t offset, std::span<std::uint8_t> out) {
  if (!contains(offset, out.size())) return false;
  if (offset + out.size() <= head_.size()) {
    if (!out.empty()) std::memcpy(out.data(), head_.data() + offset, out.size());
    return true;
  }
  return readFromFile(offset, out);
}

}  // namespace tov::platform
