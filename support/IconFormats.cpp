#include "support/IconFormats.h"

#include <png.h>

#include <memory>

#include "support/ErrorRecord.h"

namespace tov {
namespace {

constexpr int kIcoMaxSide = 256;

[[noreturn]] void invalidPicture() { raiseError(errors::kInvalidPicture); }

void putLe16(ByteVector& out, std::uint32_t v) {
  out.push_back(static_cast<std::uint8_t>(v));
  out.push_back(static_cast<std::uint8_t>(v >> 8));
}

void putLe32(ByteVector& out, std::uint32_t v) {
  putLe16(out, v & 0xFFFF);
  putLe16(out, v >> 16);
}

// Frees what libpng's simplified reader holds, however the read ends.
struct PngReadGuard {
  png_image& image;
  ~PngReadGuard() { png_image_free(&image); }
};

}  // namespace

ByteVector encodePng(const IconImage& image) {
  if (image.empty()) invalidPicture();
  png_image png{};
  png.version = PNG_IMAGE_VERSION;
  png.width = static_cast<png_uint_32>(image.width());
  png.height = static_cast<png_uint_32>(image.height());
  png.format = PNG_FORMAT_RGBA;
  png_alloc_size_t size = 0;
  // The first call measures, the second writes.
  if (!png_image_write_to_memory(&png, nullptr, &size, 0, image.rgba().data(), 0, nullptr)) invalidPicture();
  ByteVector out(size);
  if (!png_image_write_to_memory(&png, out.data(), &size, 0, image.rgba().data(), 0, nullptr)) invalidPicture();
  out.resize(size);
  return out;
}

ByteVector encodeIco(const IconImage& image) {
  if (image.empty() || image.width() > kIcoMaxSide || image.height() > kIcoMaxSide) invalidPicture();
  const auto w = static_cast<std::uint32_t>(image.width());
  const auto h = static_cast<std::uint32_t>(image.height());
  const std::uint32_t maskStride = (w + 31) / 32 * 4;
  const std::uint32_t pixelBytes = w * h * 4;
  const std::uint32_t maskBytes = maskStride * h;
  const std::uint32_t imageBytes = 40 + pixelBytes + maskBytes;
  ByteVector out;
  out.reserve(6 + 16 + imageBytes);
  // The directory: one 32-bit image; 0 stands for a side of 256.
  putLe16(out, 0);
  putLe16(out, 1);
  putLe16(out, 1);
  out.push_back(static_cast<std::uint8_t>(w & 0xFF));
  out.push_back(static_cast<std::uint8_t>(h & 0xFF));
  out.push_back(0);
  out.push_back(0);
  putLe16(out, 1);
  putLe16(out, 32);
  putLe32(out, imageBytes);
  putLe32(out, 6 + 16);
  // The bitmap header counts the colour rows and the mask rows together.
  putLe32(out, 40);
  putLe32(out, w);
  putLe32(out, h * 2);
  putLe16(out, 1);
  putLe16(out, 32);
  putLe32(out, 0);
  putLe32(out, pixelBytes + maskBytes);
  for (int i = 0; i < 4; ++i) putLe32(out, 0);
  // Rows from the bottom, blue-green-red-alpha.
  for (int y = image.height() - 1; y >= 0; --y) {
    for (int x = 0; x < image.width(); ++x) {
      const IconImage::Pixel p = image.pixel(x, y);
      out.insert(out.end(), {p.b, p.g, p.r, p.a});
    }
  }
  // The mask marks the fully transparent pixels, for readers that ignore
  // alpha; most significant bit first, rows padded to 32 bits.
  for (int y = image.height() - 1; y >= 0; --y) {
    ByteVector row(maskStride, 0);
    for (int x = 0; x < image.width(); ++x) {
      if (image.pixel(x, y).a == 0) row[static_cast<std::size_t>(x) / 8] |= static_cast<std::uint8_t>(0x80u >> (x % 8));
    }
    out.insert(out.end(), row.begin(), row.end());
  }
  return out;
}

IconImage decodePng(std::span<const std::uint8_t> bytes) {
  png_image png{};
  png.version = PNG_IMAGE_VERSION;
  PngReadGuard guard{png};
  if (bytes.empty() || !png_image_begin_read_from_memory(&png, bytes.data(), bytes.size())) invalidPicture();
  // The header names the size; refuse a huge one before allocating for it.
  if (png.width < 1 || png.height < 1 || png.width > IconImage::kMaxSide || png.height > IconImage::kMaxSide) {
    invalidPicture();
  }
  png.format = PNG_FORMAT_RGBA;
  ByteVector rgba(PNG_IMAGE_SIZE(png));
  if (!png_image_finish_read(&png, nullptr, rgba.data(), 0, nullptr)) invalidPicture();
  return IconImage(static_cast<int>(png.width), static_cast<int>(png.height), std::move(rgba));
}

}  // namespace tov
