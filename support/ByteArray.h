#pragma once
// A one-dimensional array of bytes that carries its own lower bound, as the
// automation byte arrays do.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "platform/ByteVector.h"

namespace tov {

class ByteArray {
 public:
  ByteArray() = default;
  explicit ByteArray(ByteVector bytes, std::int32_t lowerBound = 0)
      : bytes_(std::move(bytes)), lowerBound_(lowerBound) {}
  ByteArray(std::initializer_list<std::uint8_t> bytes, std::int32_t lowerBound = 0)
      : bytes_(bytes), lowerBound_(lowerBound) {}
  static ByteArray fromSpan(std::span<const std::uint8_t> bytes, std::int32_t lowerBound = 0) {
    return ByteArray(ByteVector(bytes.begin(), bytes.end()), lowerBound);
  }

  std::int32_t lowerBound() const { return lowerBound_; }
  // Upper bound is lowerBound - 1 for an array with no elements.
  std::int64_t upperBound() const { return std::int64_t{lowerBound_} + static_cast<std::int64_t>(bytes_.size()) - 1; }
  std::size_t size() const { return bytes_.size(); }
  bool empty() const { return bytes_.empty(); }
  const std::uint8_t* data() const { return bytes_.data(); }
  std::uint8_t* data() { return bytes_.data(); }
  std::span<const std::uint8_t> span() const { return {bytes_.data(), bytes_.size()}; }
  ByteVector& bytes() { return bytes_; }
  const ByteVector& bytes() const { return bytes_; }

  bool operator==(const ByteArray&) const = default;

 private:
  ByteVector bytes_;
  std::int32_t lowerBound_ = 0;
};

}  // namespace tov
