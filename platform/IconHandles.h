#pragma once
// Icon handles, as CreateIconIndirect, CopyIcon and DestroyIcon give and
// take them: a 32-bit number standing for an icon image kept until the
// handle is destroyed or its image taken over. On Windows they are the
// system's own icons; here the layer keeps the images, and the numbers are
// shared with the image lists (SystemImageList.h), so no icon handle ever
// equals an image list's.
#include <cstdint>
#include <optional>

#include "platform/IconPixels.h"

namespace tov::platform {

using IconHandle = std::uint32_t;

// A new handle for the image; 0 for an image that is empty or whose pixels
// do not match its size.
IconHandle CreateIconFromPixels(IconPixels pixels);
// False for 0, a handle already destroyed or taken, or one that is no icon.
bool DestroyIcon(IconHandle icon);

// The image behind the handle, which ends with it (what a picture object
// does when it takes an icon over); nothing for a handle that is no icon.
std::optional<IconPixels> takeIcon(IconHandle icon);
// A copy of the image; the handle stays.
std::optional<IconPixels> iconPixels(IconHandle icon);

// The layer's own handle table, where it keeps the icons (not on Windows,
// where the system keeps them):
// how many icon handles are alive: a handle the library forgets is a leak;
std::size_t liveIconCount();
// a number no icon handle will get, for other objects of the icon family.
std::uint32_t reserveIconFamilyHandle();

}  // namespace tov::platform
