#pragma once
// An icon's pixels as the platform layer hands them around: RGBA, straight
// alpha, rows from the top. The states the shell draws icons in (selected,
// with the link emblem) are made here from the plain icon.
#include <cstdint>

#include "platform/ByteVector.h"

namespace tov::platform {

struct IconPixels {
  int width = 0;
  int height = 0;
  ByteVector rgba;

  bool empty() const { return width <= 0 || height <= 0; }
  // True when rgba holds width * height pixels.
  bool valid() const;
};

// The selected look: every pixel half-way to the selection colour, its
// transparency kept.
void blendWithSelection(IconPixels& icon);

// Lays `emblem` over the bottom right corner of `icon`, blending by the
// emblem's alpha; an emblem larger than the icon is clipped.
void overlayEmblem(IconPixels& icon, const IconPixels& emblem);

// The link emblem drawn here for themes without one: a white square with a
// dark frame and an arrow out of its bottom left corner, `side` pixels.
IconPixels drawnLinkEmblem(int side);

}  // namespace tov::platform
