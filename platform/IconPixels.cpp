#include "platform/IconPixels.h"

#include <algorithm>
#include <cstddef>

namespace tov::platform {
namespace {

// The desktop's selection blue.
constexpr std::uint8_t kSelection[3] = {0x35, 0x84, 0xE4};

std::uint8_t* at(IconPixels& icon, int x, int y) {
  return icon.rgba.data() + (static_cast<std::size_t>(y) * icon.width + x) * 4;
}

void put(IconPixels& icon, int x, int y, std::uint8_t r, std::uint8_t g, std::uint8_t b) {
  if (x < 0 || y < 0 || x >= icon.width || y >= icon.height) return;
  std::uint8_t* p = at(icon, x, y);
  p[0] = r, p[1] = g, p[2] = b, p[3] = 255;
}

}  // namespace

bool IconPixels::valid() const {
  return !empty() && rgba.size() == static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4;
}

void blendWithSelection(IconPixels& icon) {
  if (!icon.valid()) return;
  for (std::size_t i = 0; i < icon.rgba.size(); i += 4) {
    for (int c = 0; c < 3; ++c) icon.rgba[i + c] = static_cast<std::uint8_t>((icon.rgba[i + c] + kSelection[c] + 1) / 2);
  }
}

void overlayEmblem(IconPixels& icon, const IconPixels& emblem) {
  if (!icon.valid() || !emblem.valid()) return;
  const int left = icon.width - emblem.width, top = icon.height - emblem.height;
  for (int y = std::max(0, -top); y < emblem.height; ++y) {
    for (int x = std::max(0, -left); x < emblem.width; ++x) {
      const std::uint8_t* s = emblem.rgba.data() + (static_cast<std::size_t>(y) * emblem.width + x) * 4;
      std::uint8_t* d = at(icon, left + x, top + y);
      const unsigned sa = s[3], da = d[3];
      // Source over destination, both with straight alpha, in 1/255 units.
      const unsigned outA = sa + da * (255 - sa) / 255;
      if (outA == 0) continue;
      for (int c = 0; c < 3; ++c) {
        d[c] = static_cast<std::uint8_t>((s[c] * sa + d[c] * da * (255 - sa) / 255 + outA / 2) / outA);
      }
      d[3] = static_cast<std::uint8_t>(outA);
    }
  }
}

IconPixels drawnLinkEmblem(int side) {
  IconPixels emblem;
  if (side <= 0) return emblem;
  emblem.width = emblem.height = side;
  emblem.rgba.assign(static_cast<std::size_t>(side) * side * 4, 0);
  const int last = side - 1;
  for (int y = 0; y < side; ++y) {
    for (int x = 0; x < side; ++x) {
      const bool frame = x == 0 || y == 0 || x == last || y == last;
      frame ? put(emblem, x, y, 64, 64, 64) : put(emblem, x, y, 255, 255, 255);
    }
  }
  // The arrow: a diagonal from the bottom left towards the top right, its
  // head two strokes along the top and right edges of the inner square.
  const int from = 2, to = side - 3;
  for (int i = from; i <= to; ++i) {
    put(emblem, i, last - i, 0, 0, 0);
    put(emblem, i + 1, last - i, 0, 0, 0);
  }
  const int head = std::max(2, side / 3);
  for (int i = 0; i < head; ++i) {
    put(emblem, to - i, last - to, 0, 0, 0);
    put(emblem, to, last - to + i, 0, 0, 0);
  }
  return emblem;
}

}  // namespace tov::platform
