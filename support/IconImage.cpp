#include "support/IconImage.h"

#include <algorithm>

#include "support/ErrorRecord.h"

namespace tov {
namespace {

bool validSide(int side) { return side >= 1 && side <= IconImage::kMaxSide; }

}  // namespace

IconImage::IconImage(int width, int height) {
  if (!validSide(width) || !validSide(height)) raiseError(errors::kInvalidProcedureCall);
  width_ = width;
  height_ = height;
  rgba_.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4, 0);
}

IconImage::IconImage(int width, int height, ByteVector rgba) {
  if (!validSide(width) || !validSide(height) ||
      rgba.size() != static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4) {
    raiseError(errors::kInvalidProcedureCall);
  }
  width_ = width;
  height_ = height;
  rgba_ = std::move(rgba);
}

std::size_t IconImage::offset(int x, int y) const {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) raiseError(errors::kSubscriptOutOfRange);
  return (static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) + static_cast<std::size_t>(x)) * 4;
}

IconImage::Pixel IconImage::pixel(int x, int y) const {
  const std::uint8_t* p = rgba_.data() + offset(x, y);
  return Pixel{p[0], p[1], p[2], p[3]};
}

void IconImage::setPixel(int x, int y, Pixel px) {
  std::uint8_t* p = rgba_.data() + offset(x, y);
  p[0] = px.r;
  p[1] = px.g;
  p[2] = px.b;
  p[3] = px.a;
}

}  // namespace tov
