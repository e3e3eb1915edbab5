#include "support/IconFunctions.h"

#include <optional>
#include <string>

#include "platform/IconHandles.h"
#include "support/ErrorRecord.h"

namespace tov {
namespace {

constexpr IconImage::Pixel kOutline{96, 96, 96, 255};
constexpr IconImage::Pixel kPaper{255, 255, 255, 255};
constexpr IconImage::Pixel kFold{216, 216, 216, 255};
constexpr IconImage::Pixel kLine{176, 176, 176, 255};

// A sheet of paper with its top right corner folded over, drawn for the
// given side so both sizes are crisp.
IconImage blankDocument(int side) {
  IconImage image(side, side);
  const int left = side * 3 / 16, right = side - 1 - side * 3 / 16;
  const int top = side / 16, bottom = side - 1 - side / 16;
  const int fold = side / 4;
  const int foldLeft = right - fold;
  for (int y = top; y <= bottom; ++y) {
    for (int x = left; x <= right; ++x) {
      const int intoCorner = (x - foldLeft) - (y - top);  // > 0 above the fold's diagonal
      if (x > foldLeft && y < top + fold && intoCorner > 0) continue;  // cut away
      const bool edge = x == left || y == bottom || y == top || x == right || (x > foldLeft && y < top + fold && intoCorner == 0);
      const bool foldFace = x >= foldLeft && y <= top + fold && intoCorner <= 0;
      const bool foldEdge = foldFace && (x == foldLeft || y == top + fold);
      IconImage::Pixel p = edge || foldEdge ? kOutline : foldFace ? kFold : kPaper;
      image.setPixel(x, y, p);
    }
  }
  // Lines of text, where there is room for them.
  if (side >= 24) {
    for (int y = top + fold + 3; y < bottom - 2; y += 3) {
      for (int x = left + 3; x <= right - 3; ++x) image.setPixel(x, y, kLine);
    }
  }
  return image;
}

IconImage resourceIcon(std::u16string_view name, int side) {
  if (!name.empty()) {
    ErrorRecord record = standardError(errors::kResourceNotFound);
    record.description = u"Resource with identifier '" + std::u16string(name) + u"' not found";
    throw RuntimeError(std::move(record));
  }
  return blankDocument(side);
}

}  // namespace

IconImage asGetIconFromHandle(std::uint32_t iconHandle) {
  std::optional<platform::IconPixels> pixels = platform::takeIcon(iconHandle);
  if (!pixels || pixels->width > IconImage::kMaxSide || pixels->height > IconImage::kMaxSide) {
    raiseError(errors::kInvalidPicture);
  }
  return IconImage(pixels->width, pixels->height, std::move(pixels->rgba));
}

IconImage asLoadResIcon(std::u16string_view resourceName) { return resourceIcon(resourceName, 32); }

IconImage asLoadResIconSmall(std::u16string_view resourceName) { return resourceIcon(resourceName, 16); }

}  // namespace tov
