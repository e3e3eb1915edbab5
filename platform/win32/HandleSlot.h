#pragma once
// FileHandle keeps its open file in an int. The system's handles fit: they
// are 32-bit values on every Windows, safe to truncate and sign-extend back
// (which is how 32- and 64-bit processes share them).
#include <windows.h>

#include <cstdint>

namespace tov::platform::win32 {

inline int slotOf(HANDLE h) {
  return h == INVALID_HANDLE_VALUE ? -1 : static_cast<int>(reinterpret_cast<std::intptr_t>(h));
}

inline HANDLE handleOf(int slot) {
  return slot < 0 ? INVALID_HANDLE_VALUE : reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(slot));
}

// The window system's handles (icons, image lists) as the 32-bit numbers
// the layer and the object model carry them in, by the same rule: the low
// 32 bits, sign-extended on the way back.
template <typename Handle>
std::uint32_t handleValue(Handle h) {
  return static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(h));
}

template <typename Handle>
Handle handleFromValue(std::uint32_t value) {
  return reinterpret_cast<Handle>(static_cast<std::intptr_t>(static_cast<std::int32_t>(value)));
}

// Whether the number gives the handle back. Icons always do; an image list
// is a pointer into the process's memory, which on a 64-bit system may lie
// above what 32 bits reach.
template <typename Handle>
bool fitsHandleValue(Handle h) {
  return handleFromValue<Handle>(handleValue(h)) == h;
}

}  // namespace tov::platform::win32
