#pragma once
// Support functions over INI files (the platform's profile engine).
#include <string_view>

namespace tov {

// Whether the key is present in the section of the INI file (or stream),
// whatever its value, empty included. False when the file cannot be read.
bool asIsINIKeyExist2(std::u16string_view section, std::u16string_view key, std::u16string_view fileName);

}  // namespace tov
