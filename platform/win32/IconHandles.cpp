// Icon handles are the window system's own icons: made with
// CreateIconIndirect, read back through GetIconInfo, ended by DestroyIcon.
#include <windows.h>

#include <vector>

#include "platform/IconHandles.h"
#include "platform/win32/HandleSlot.h"

namespace tov::platform {
namespace {

using Bgra = std::vector<std::uint8_t>;

// A bitmap's pixels as 32-bit BGRA rows from the top, whatever its own depth.
bool readBits(HBITMAP bitmap, int width, int height, Bgra& out) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  out.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4, 0);
  const HDC screen = ::GetDC(nullptr);
  const int rows = ::GetDIBits(screen, bitmap, 0, static_cast<UINT>(height), out.data(), &info, DIB_RGB_COLORS);
  ::ReleaseDC(nullptr, screen);
  return rows == height;
}

// The icon's image: its colour bitmap with the alpha it carries or, for an
// icon drawn the older way, with its mask as the transparency. A
// monochrome icon holds both halves in its mask: AND on top, XOR below.
std::optional<IconPixels> pixelsOf(const ICONINFO& parts) {
  BITMAP mask{};
  if (!parts.hbmMask || !::GetObjectW(parts.hbmMask, sizeof mask, &mask)) return std::nullopt;
  const int width = mask.bmWidth;
  const int height = parts.hbmColor ? mask.bmHeight : mask.bmHeight / 2;
  if (width <= 0 || height <= 0) return std::nullopt;
  Bgra maskBits, colourBits;
  if (!readBits(parts.hbmMask, width, parts.hbmColor ? height : height * 2, maskBits)) return std::nullopt;
  if (parts.hbmColor) {
    if (!readBits(parts.hbmColor, width, height, colourBits)) return std::nullopt;
  } else {
    colourBits.assign(maskBits.begin() + static_cast<std::ptrdiff_t>(maskBits.size() / 2), maskBits.end());
    maskBits.resize(maskBits.size() / 2);
  }
  bool hasAlpha = false;
  for (std::size_t i = 3; i < colourBits.size() && !hasAlpha; i += 4) hasAlpha = colourBits[i] != 0;
  IconPixels pixels{width, height, ByteVector(colourBits.size(), 0)};
  for (std::size_t i = 0; i < colourBits.size(); i += 4) {
    pixels.rgba[i] = colourBits[i + 2];
    pixels.rgba[i + 1] = colourBits[i + 1];
    pixels.rgba[i + 2] = colourBits[i];
    // A set mask bit is a transparent pixel.
    pixels.rgba[i + 3] = hasAlpha ? colourBits[i + 3] : (maskBits[i] ? 0 : 255);
  }
  return pixels;
}

}  // namespace

IconHandle CreateIconFromPixels(IconPixels pixels) {
  if (pixels.empty() || !pixels.valid()) return 0;
  BITMAPV5HEADER header{};
  header.bV5Size = sizeof header;
  header.bV5Width = pixels.width;
  header.bV5Height = -pixels.height;
  header.bV5Planes = 1;
  header.bV5BitCount = 32;
  header.bV5Compression = BI_BITFIELDS;
  header.bV5RedMask = 0x00FF0000;
  header.bV5GreenMask = 0x0000FF00;
  header.bV5BlueMask = 0x000000FF;
  header.bV5AlphaMask = 0xFF000000;
  void* bits = nullptr;
  const HDC screen = ::GetDC(nullptr);
  const HBITMAP colour = ::CreateDIBSection(screen, reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS, &bits,
                                            nullptr, 0);
  ::ReleaseDC(nullptr, screen);
  if (!colour) return 0;
  auto* bgra = static_cast<std::uint8_t*>(bits);
  for (std::size_t i = 0; i < pixels.rgba.size(); i += 4) {
    bgra[i] = pixels.rgba[i + 2];
    bgra[i + 1] = pixels.rgba[i + 1];
    bgra[i + 2] = pixels.rgba[i];
    bgra[i + 3] = pixels.rgba[i + 3];
  }
  // The alpha channel decides; the mask marks the fully transparent pixels
  // for drawing that knows no alpha. Its rows are padded to 16 bits.
  const std::size_t maskRow = static_cast<std::size_t>((pixels.width + 15) / 16) * 2;
  std::vector<std::uint8_t> maskBits(maskRow * static_cast<std::size_t>(pixels.height), 0);
  for (int y = 0; y < pixels.height; ++y) {
    for (int x = 0; x < pixels.width; ++x) {
      const std::size_t at = (static_cast<std::size_t>(y) * static_cast<std::size_t>(pixels.width) + x) * 4;
      if (pixels.rgba[at + 3] == 0) maskBits[y * maskRow + x / 8] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
    }
  }
  const HBITMAP mask = ::CreateBitmap(pixels.width, pixels.height, 1, 1, maskBits.data());
  ICONINFO parts{TRUE, 0, 0, mask, colour};
  const HICON icon = mask ? ::CreateIconIndirect(&parts) : nullptr;
  if (mask) ::DeleteObject(mask);
  ::DeleteObject(colour);
  return win32::handleValue(icon);
}

bool DestroyIcon(IconHandle icon) { return icon != 0 && ::DestroyIcon(win32::handleFromValue<HICON>(icon)); }

std::optional<IconPixels> iconPixels(IconHandle icon) {
  ICONINFO parts{};
  if (icon == 0 || !::GetIconInfo(win32::handleFromValue<HICON>(icon), &parts)) return std::nullopt;
  std::optional<IconPixels> pixels = pixelsOf(parts);
  if (parts.hbmMask) ::DeleteObject(parts.hbmMask);
  if (parts.hbmColor) ::DeleteObject(parts.hbmColor);
  return pixels;
}

std::optional<IconPixels> takeIcon(IconHandle icon) {
  std::optional<IconPixels> pixels = iconPixels(icon);
  if (pixels) DestroyIcon(icon);
  return pixels;
}

}  // namespace tov::platform
