#pragma once
// The support functions that hand out icons, as icon images.
#include <cstdint>
#include <string_view>

#include "support/IconImage.h"

namespace tov {

// The icon behind an icon handle (platform/IconHandles.h, as the shell
// hands them out); the picture takes the handle over, so the handle ends
// here. Error 481 for a handle that is no icon, or no longer one.
IconImage asGetIconFromHandle(std::uint32_t iconHandle);

// The icon resources of the support library, 32 x 32 and 16 x 16. The
// empty name gives the fallback icon (a blank document); the library has
// no other icon resources, so any other name is error 326.
IconImage asLoadResIcon(std::u16string_view resourceName);
IconImage asLoadResIconSmall(std::u16string_view resourceName);

}  // namespace tov
