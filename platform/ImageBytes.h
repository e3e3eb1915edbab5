#pragma once
// Random access to the bytes of an executable image, held in memory or read
// from an open file, with every read checked against the end: the parsers
// of untrusted images ask for bytes by offset and length and get them all
// or nothing.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

#include "platform/ByteVector.h"

namespace tov::platform {

class ImageBytes {
 public:
  virtual ~ImageBytes() = default;

  virtual std::uint64_t size() const = 0;
  // Fills `out` from `offset`; false when any of those bytes lies past the
  // end or cannot be read.
  virtual bool read(std::uint64_t offset, std::span<std::uint8_t> out) = 0;

  // Reads `length` bytes into `out` (resized); false as read() is.
  bool read(std::uint64_t offset, std::size_t length, ByteVector& out);
  std::optional<std::uint16_t> u16(std::uint64_t offset);
  std::optional<std::uint32_t> u32(std::uint64_t offset);
  // Whether [offset, offset + length) lies inside the image.
  bool contains(std::uint64_t offset, std::uint64_t length) const;
};

class MemoryImageBytes final : public ImageBytes {
 public:
  explicit MemoryImageBytes(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
  std::uint64_t size() const override { return bytes_.size(); }
  bool read(std::uint64_t offset, std::span<std::uint8_t> out) override;
  using ImageBytes::read;

 private:
  std::span<const std::uint8_t> bytes_;
};

// Reads with pread from a descriptor the caller keeps open. The file's size
// is taken once; a file that shrinks meanwhile gives failed reads, never
// stale or invented bytes. The first bytes, where every image keeps its
// headers, are read once and served from memory.
class FileImageBytes final : public ImageBytes {
 public:
  FileImageBytes(int fd, std::uint64_t size);
  std::uint64_t size() const override { return size_; }
  bool read(std::uint64_t offset, std::span<std::uint8_t> out) override;
  using ImageBytes::read;

  // The errno of the last failed read, 0 when none failed.
  int error() const { return error_; }

 private:
  bool readFromFile(std::uint64_t offset, std::span<std::uint8_t> out);

  int fd_;
  std::uint64_t size_;
  ByteVector head_;
  int error_ = 0;
};

// Little-endian fields from a byte buffer whose length the caller checked.
inline std::uint16_t loadU16(const std::uint8_t* p) {
  return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}
inline std::uint32_t loadU32(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
         (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

}  // namespace tov::platform
