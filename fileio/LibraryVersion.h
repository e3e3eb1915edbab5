#pragma once
// The library's own version, as its version block states it.
namespace ferrule {
inline constexpr int kVersionMajor = 1;
inline constexpr int kVersionMinor = 1;
inline constexpr int kVersionRevision = 15;
inline constexpr char16_t kLibraryName[] = u"Ferrule0101";
}  // namespace ferrule
