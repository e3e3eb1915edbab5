#pragma once
// Icon images in and out of the two file formats clients save icons in:
// PNG (through libpng) and the Windows icon format (.ico, one 32-bit image
// with its transparency mask, which every icon reader understands).
#include <cstdint>
#include <span>

#include "platform/ByteVector.h"
#include "support/IconImage.h"

namespace tov {

// Error 481 ("Invalid picture") for an empty image.
ByteVector encodePng(const IconImage& image);
// Error 481 for an empty image or a side above 256, the format's limit.
ByteVector encodeIco(const IconImage& image);
// Error 481 for anything that is not a whole PNG image of at most
// IconImage::kMaxSide on each side.
IconImage decodePng(std::span<const std::uint8_t> bytes);

}  // namespace tov
