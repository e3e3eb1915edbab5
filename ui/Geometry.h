#pragma once
// Window coordinates. Layouts are given in twips so that a window looks the
// same at any resolution; the screen has 96 pixels per inch, 15 twips each.
#include <cmath>
#include <cstdint>

namespace tov::ui {

// An opaque window or control id for the support functions.
using Handle = std::int32_t;

inline constexpr int kTwipsPerPixel = 15;

struct Rect {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  bool operator==(const Rect&) const = default;
};

struct Size {
  int width = 0;
  int height = 0;
  bool operator==(const Size&) const = default;
};

inline int twipsToPixels(int twips) {
  return static_cast<int>(std::lround(static_cast<double>(twips) / kTwipsPerPixel));
}

inline constexpr int pixelsToTwips(int pixels) { return pixels * kTwipsPerPixel; }

}  // namespace tov::ui
