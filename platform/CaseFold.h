#pragma once
// Case-insensitive comparison of UTF-16 names the way Windows compares INI
// section and key names: independent of the process locale, so a file reads
// the same for every user.
#include <string_view>

namespace tov::platform {

// The upper-case form of one UTF-16 unit for Basic Latin, Latin-1, Latin
// Extended-A and the regular pairs of Latin Extended-B, Greek and Cyrillic.
// Other units are returned unchanged.
char16_t foldCase(char16_t c);

bool equalsIgnoreCase(std::u16string_view a, std::u16string_view b);

// The order of names without case (as NTFS keeps them); names that differ
// only in case keep one fixed order, by their units.
bool lessIgnoringCase(std::u16string_view a, std::u16string_view b);

}  // namespace tov::platform
