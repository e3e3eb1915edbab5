#pragma once
// Bytes allocated with the XML parser's own allocator, so the parser can take
// them over and parse them in place without another copy of a large file.
#include <cstddef>
#include <cstdint>

namespace tov {

class XmlBuffer {
 public:
  XmlBuffer() = default;
  // Throws std::bad_alloc when the memory is not there.
  explicit XmlBuffer(std::size_t size);
  ~XmlBuffer();
  XmlBuffer(XmlBuffer&& other) noexcept;
  XmlBuffer& operator=(XmlBuffer&& other) noexcept;
  XmlBuffer(const XmlBuffer&) = delete;
  XmlBuffer& operator=(const XmlBuffer&) = delete;

  std::uint8_t* data() { return data_; }
  const std::uint8_t* data() const { return data_; }
  std::size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }

  // Keeps only the first `size` bytes in use (never grows the allocation).
  void truncate(std::size_t size);

  // Hands the memory over to the parser, which frees it with its allocator.
  std::uint8_t* release();

 private:
  void free();

  std::uint8_t* data_ = nullptr;
  std::size_t size_ = 0;
};

}  // namespace tov
