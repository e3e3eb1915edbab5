#pragma once
// Names that differ only in letter case. Files copied from systems that
// ignore case carry a well-known name in capitals or small letters; using
// the one that is there keeps one file instead of starting a second beside
// it.
#include <optional>
#include <string>
#include <string_view>

namespace tov::platform {

// The name as the directory holds it, of an entry whose name equals `name`
// ignoring the case of ASCII letters; nothing when there is none. Where
// several do, the one that sorts first (as bytes) wins. `directory` as
// callers name it; "" is the current one.
std::optional<std::u16string> existingNameIgnoringCase(std::u16string_view directory, std::u16string_view name);

}  // namespace tov::platform
