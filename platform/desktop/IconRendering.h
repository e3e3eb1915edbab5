#pragma once
// Icon image files (PNG, SVG, XPM: whatever gdk-pixbuf has a loader for)
// drawn at the size an icon is shown at.
#include <cstdint>
#include <string>

namespace tov::desktop {

// Draws `file` into `rgba` (size * size * 4 bytes, straight alpha, rows from
// the top), scaled to fit and centred. False when the file is not an image
// gdk-pixbuf reads, or is larger than any icon is.
bool renderIconFile(const std::string& file, int size, std::uint8_t* rgba);

}  // namespace tov::desktop
