#pragma once
// The order directory listings give their entries in on every system, so a
// listing does not depend on the order a directory happens to keep.
#include <string_view>

namespace tov::platform {

// "." then "..", then the rest by letters without case (NTFS order), names
// that differ only in case in the order of their units.
bool listedBefore(std::u16string_view a, std::u16string_view b);

}  // namespace tov::platform
