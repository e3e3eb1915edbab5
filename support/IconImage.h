#pragma once
// An icon as the library hands it out: a square or rectangular image of
// RGBA pixels with straight (not premultiplied) alpha, rows from the top.
// The component frame wraps it in the standard picture object; the library's
// own classes only ever see this value.
#include <cstdint>
#include <span>

#include "platform/ByteVector.h"

namespace tov {

class IconImage {
 public:
  // The largest side an icon may have; larger images are refused rather
  // than allocated.
  static constexpr int kMaxSide = 1024;

  struct Pixel {
    std::uint8_t r = 0, g = 0, b = 0, a = 0;
    bool operator==(const Pixel&) const = default;
  };

  // No icon.
  IconImage() = default;
  // A transparent image; error 5 for a side outside 1 to kMaxSide.
  IconImage(int width, int height);
  // An image from its RGBA bytes, 4 per pixel, rows from the top; error 5
  // when the sizes disagree.
  IconImage(int width, int height, ByteVector rgba);

  int width() const { return width_; }
  int height() const { return height_; }
  bool empty() const { return width_ == 0; }
  std::span<const std::uint8_t> rgba() const { return {rgba_.data(), rgba_.size()}; }

  Pixel pixel(int x, int y) const;
  void setPixel(int x, int y, Pixel p);

  bool operator==(const IconImage& o) const {
    return width_ == o.width_ && height_ == o.height_ && rgba_ == o.rgba_;
  }

 private:
  std::size_t offset(int x, int y) const;

  int width_ = 0;
  int height_ = 0;
  ByteVector rgba_;
};

}  // namespace tov
