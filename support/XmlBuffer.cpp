#include "support/XmlBuffer.h"

#include <new>
#include <pugixml.hpp>
#include <utility>

namespace tov {

XmlBuffer::XmlBuffer(std::size_t size) {
  // One spare byte so even an empty buffer is a real allocation.
  void* memory = pugi::get_memory_allocation_function()(size + 1);
  if (!memory) throw std::bad_alloc();
  data_ = static_cast<std::uint8_t*>(memory);
  size_ = size;
}

XmlBuffer::~XmlBuffer() { free(); }

XmlBuffer::XmlBuffer(XmlBuffer&& other) noexcept
    : data_(std::exchange(other.data_, nullptr)), size_(std::exchange(other.size_, 0)) {}

XmlBuffer& XmlBuffer::operator=(XmlBuffer&& other) noexcept {
  if (this != &other) {
    free();
    data_ = std::exchange(other.data_, nullptr);
    size_ = std::exchange(other.size_, 0);
  }
  return *this;
}

void XmlBuffer::truncate(std::size_t size) {
  if (size < size_) size_ = size;
}

std::uint8_t* XmlBuffer::release() {
  size_ = 0;
  return std::exchange(data_, nullptr);
}

void XmlBuffer::free() {
  if (data_) pugi::get_memory_deallocation_function()(data_);
  data_ = nullptr;
  size_ = 0;
}

}  // namespace tov
