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

}  // namespace tov::platform::win32
