#pragma once
// The support functions that hand out icons, as icon images.
#include <string_view>

#include "support/IconImage.h"

namespace tov {

// The icon behind an icon handle; the picture takes the handle over. In this
// port an icon handle is the image file the shell layer found for the icon
// (a PNG from the icon theme), read once here. Errors: the file's own
// (53 and the like), 481 when it holds no PNG image this can read.
IconImage asGetIconFromHandle(std::u16string_view iconFile);

// The PNG image in a file, read once; the errors as above.
IconImage loadIconFile(std::u16string_view fileName);

// The icon resources of the support library, 32 x 32 and 16 x 16. The
// empty name gives the fallback icon (a blank document); the library has
// no other icon resources, so any other name is error 326.
IconImage asLoadResIcon(std::u16string_view resourceName);
IconImage asLoadResIconSmall(std::u16string_view resourceName);

}  // namespace tov
