// Icon images: PNG in and out, the .ico form, the fallback icons, and icon
// files read the way the shell layer hands them over.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>

#include "TempDir.h"
#include "platform/IconHandles.h"
#include "platform/Path.h"
#include "support/ErrorRecord.h"
#include "support/IconFormats.h"
#include "support/IconFile.h"
#include "support/IconFunctions.h"

namespace tovtest {
namespace {

using tov::IconImage;
using Px = IconImage::Pixel;

// Every pixel different, alpha from clear to opaque.
IconImage sample(int w, int h) {
  IconImage image(w, h);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      image.setPixel(x, y, Px{static_cast<std::uint8_t>(x * 7), static_cast<std::uint8_t>(y * 5),
                              static_cast<std::uint8_t>(x ^ y), static_cast<std::uint8_t>((x + y * w) % 256)});
    }
  }
  return image;
}

template <typename F>
int errorOf(F&& f) {
  try {
    f();
  } catch (const tov::RuntimeError& e) {
    return e.record().number;
  }
  return 0;
}

std::uint32_t le32(const tov::ByteVector& b, std::size_t at) {
  return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<std::uint32_t>(b[at + 3]) << 24;
}
std::uint16_t le16(const tov::ByteVector& b, std::size_t at) { return static_cast<std::uint16_t>(b[at] | b[at + 1] << 8); }

// CRC of PNG chunks, to forge headers that pass the checksum.
std::uint32_t crc32(const std::uint8_t* p, std::size_t n) {
  std::uint32_t c = 0xFFFFFFFFu;
  for (std::size_t i = 0; i < n; ++i) {
    c ^= p[i];
    for (int k = 0; k < 8; ++k) c = (c >> 1) ^ (0xEDB88320u & (0u - (c & 1)));
  }
  return ~c;
}

TEST(IconImages, KeepTheirPixelsThroughPng) {
  const IconImage image = sample(37, 20);
  const tov::ByteVector png = tov::encodePng(image);
  ASSERT_GT(png.size(), 8u);
  EXPECT_EQ(std::string(png.begin() + 1, png.begin() + 4), "PNG");
  const IconImage back = tov::decodePng(png);
  EXPECT_EQ(back.width(), 37);
  EXPECT_EQ(back.height(), 20);
  EXPECT_TRUE(back == image);
  EXPECT_EQ(errorOf([] { tov::encodePng(IconImage()); }), 481);
}

TEST(IconImages, RefuseBadSizesAndCoordinates) {
  EXPECT_EQ(errorOf([] { IconImage(0, 5); }), 5);
  EXPECT_EQ(errorOf([] { IconImage(5, IconImage::kMaxSide + 1); }), 5);
  EXPECT_EQ(errorOf([] { IconImage(2, 2, tov::ByteVector(15)); }), 5);
  IconImage image(2, 3);
  EXPECT_EQ(image.pixel(1, 2), Px{});
  EXPECT_EQ(errorOf([&] { image.pixel(2, 0); }), 9);
  EXPECT_EQ(errorOf([&] { image.setPixel(0, -1, Px{}); }), 9);
}

TEST(IconImages, DecodingRefusesWhatIsNotAWholeSmallPng) {
  const tov::ByteVector png = tov::encodePng(sample(16, 16));
  EXPECT_EQ(errorOf([] { tov::decodePng({}); }), 481);
  const std::string text = "not a picture at all";
  EXPECT_EQ(errorOf([&] { tov::decodePng({reinterpret_cast<const std::uint8_t*>(text.data()), text.size()}); }), 481);
  EXPECT_EQ(errorOf([&] { tov::decodePng({png.data(), png.size() / 2}); }), 481);

  // A header that promises 100000 x 100000 pixels (with a valid checksum)
  // is refused before anything that size is allocated.
  tov::ByteVector huge = png;
  const std::size_t ihdr = 8 + 4;  // after the signature and the length
  ASSERT_EQ(std::string(huge.begin() + ihdr, huge.begin() + ihdr + 4), "IHDR");
  for (std::size_t at : {ihdr + 4, ihdr + 8}) {
    huge[at] = 0;
    huge[at + 1] = 0x01;
    huge[at + 2] = 0x86;
    huge[at + 3] = 0xA0;
  }
  const std::uint32_t crc = crc32(&huge[ihdr], 4 + 13);
  for (int i = 0; i < 4; ++i) huge[ihdr + 17 + i] = static_cast<std::uint8_t>(crc >> (24 - 8 * i));
  EXPECT_EQ(errorOf([&] { tov::decodePng(huge); }), 481);
}

TEST(IconImages, IcoHoldsOneBottomUpImageWithItsTransparencyMask) {
  IconImage image(3, 2);
  image.setPixel(0, 0, Px{10, 20, 30, 255});
  image.setPixel(2, 1, Px{1, 2, 3, 128});
  const tov::ByteVector ico = tov::encodeIco(image);
  EXPECT_EQ(le16(ico, 0), 0);
  EXPECT_EQ(le16(ico, 2), 1);  // an icon, not a cursor
  EXPECT_EQ(le16(ico, 4), 1);
  EXPECT_EQ(ico[6], 3);
  EXPECT_EQ(ico[7], 2);
  EXPECT_EQ(le16(ico, 12), 32);
  const std::uint32_t size = le32(ico, 14), offset = le32(ico, 18);
  ASSERT_EQ(offset + size, ico.size());
  EXPECT_EQ(le32(ico, offset), 40u);
  EXPECT_EQ(le32(ico, offset + 8), 4u);  // twice the height: colours and mask
  const std::size_t pixels = offset + 40;
  // The bottom row comes first: (2, 1) is its third pixel, blue first.
  EXPECT_EQ((std::vector<int>{ico[pixels + 8], ico[pixels + 9], ico[pixels + 10], ico[pixels + 11]}),
            (std::vector<int>{3, 2, 1, 128}));
  // The top row second: (0, 0).
  EXPECT_EQ((std::vector<int>{ico[pixels + 12], ico[pixels + 13], ico[pixels + 14], ico[pixels + 15]}),
            (std::vector<int>{30, 20, 10, 255}));
  // Mask rows of 4 bytes, bottom first: only (2, 1) of that row is not
  // transparent; of the top row only (0, 0).
  const std::size_t mask = pixels + 3 * 2 * 4;
  EXPECT_EQ(ico[mask], 0b1100'0000);
  EXPECT_EQ(ico[mask + 4], 0b0110'0000);

  EXPECT_EQ(tov::encodeIco(IconImage(256, 256))[6], 0);  // 0 stands for 256
  EXPECT_EQ(errorOf([] { tov::encodeIco(IconImage(257, 16)); }), 481);
  EXPECT_EQ(errorOf([] { tov::encodeIco(IconImage()); }), 481);
}

TEST(IconFunctions, FallbackIconsAreBlankDocumentsInBothSizes) {
  for (auto [icon, side] : {std::pair{tov::asLoadResIcon(u""), 32}, std::pair{tov::asLoadResIconSmall(u""), 16}}) {
    ASSERT_EQ(icon.width(), side);
    ASSERT_EQ(icon.height(), side);
    EXPECT_EQ(icon.pixel(0, 0).a, 0) << "the background is transparent";
    EXPECT_EQ(icon.pixel(side - 1, 0).a, 0);
    EXPECT_EQ(icon.pixel(side * 3 / 16 + 1, side - 2 - side / 16), (Px{255, 255, 255, 255}))
        << "the paper is opaque white";
  }
  try {
    tov::asLoadResIcon(u"A_MAIN");
    ADD_FAILURE() << "a resource the library does not have";
  } catch (const tov::RuntimeError& e) {
    EXPECT_EQ(e.record().number, 326);
    EXPECT_EQ(e.record().description, u"Resource with identifier 'A_MAIN' not found");
  }
}

TEST(IconFunctions, APictureTakesTheIconHandleOver) {
  const IconImage image = sample(3, 2);
  const std::span<const std::uint8_t> rgba = image.rgba();
  const tov::platform::IconHandle handle =
      tov::platform::CreateIconFromPixels({3, 2, tov::ByteVector(rgba.begin(), rgba.end())});
  ASSERT_NE(handle, 0u);
  EXPECT_TRUE(tov::asGetIconFromHandle(handle) == image);
  EXPECT_FALSE(tov::platform::DestroyIcon(handle)) << "the handle ended with the picture";
  EXPECT_EQ(errorOf([&] { tov::asGetIconFromHandle(handle); }), 481);
  EXPECT_EQ(errorOf([] { tov::asGetIconFromHandle(0); }), 481);
}

TEST(IconFunctions, IconFilesAreReadOnceAndAnythingElseIsRefused) {
  TempDir dir("icons");
  const IconImage image = sample(24, 24);
  const tov::ByteVector png = tov::encodePng(image);
  writeBytes(dir / "a.png", std::string(png.begin(), png.end()));
  const auto name = [&](const char* n) { return tov::platform::fromNativePath((dir / n).string()); };
  EXPECT_TRUE(tov::loadIconFile(name("a.png")) == image);

  EXPECT_EQ(errorOf([&] { tov::loadIconFile(name("missing.png")); }), 53);
  EXPECT_EQ(errorOf([&] { tov::loadIconFile(name("no/such/dir.png")); }), 76);
  writeBytes(dir / "text.png", "hello");
  EXPECT_EQ(errorOf([&] { tov::loadIconFile(name("text.png")); }), 481);
  writeBytes(dir / "empty.png", "");
  EXPECT_EQ(errorOf([&] { tov::loadIconFile(name("empty.png")); }), 481);
  // A pipe nobody writes to, and a device, read as no image instead of
  // blocking; a directory is not a file.
  ASSERT_EQ(mkfifo((dir / "fifo").c_str(), 0600), 0);
  EXPECT_EQ(errorOf([&] { tov::loadIconFile(name("fifo")); }), 481);
  EXPECT_EQ(errorOf([] { tov::loadIconFile(u"/dev/zero"); }), 481);
  EXPECT_NE(errorOf([&] { tov::loadIconFile(tov::platform::fromNativePath(dir.path().string())); }), 0);
  // A huge file is not read into memory.
  {
    std::ofstream big(dir / "big.png", std::ios::binary);
    big.write(reinterpret_cast<const char*>(png.data()), static_cast<std::streamsize>(png.size()));
  }
  std::filesystem::resize_file(dir / "big.png", std::uintmax_t{17} << 20);
  EXPECT_EQ(errorOf([&] { tov::loadIconFile(name("big.png")); }), 481);
}

}  // namespace
}  // namespace tovtest
