#pragma once
// Icon images read from files clients name (a picture loaded by name).
#include <string_view>

#include "support/IconImage.h"

namespace tov {

// The PNG image in a file, read once. Errors: the file's own (53 and the
// like), 481 when it holds no PNG image this can read.
IconImage loadIconFile(std::u16string_view fileName);

}  // namespace tov
