// Images read through the system's own file handles.
#include <windows.h>

#include <algorithm>
#include <cerrno>

#include "platform/ImageBytes.h"
#include "platform/win32/HandleSlot.h"
#include "platform/win32/SystemErrors.h"

namespace tov::platform {

// The handle FileHandle keeps, read at an offset of its own each time.
bool FileImageBytes::readFromFile(std::uint64_t offset, std::span<std::uint8_t> out) {
  std::size_t done = 0;
  while (done < out.size()) {
    OVERLAPPED at{};
    const std::uint64_t position = offset + done;
    at.Offset = static_cast<DWORD>(position & 0xFFFFFFFFu);
    at.OffsetHigh = static_cast<DWORD>(position >> 32);
    const DWORD piece = static_cast<DWORD>(std::min<std::size_t>(out.size() - done, 1u << 30));
    DWORD got = 0;
    if (!::ReadFile(win32::handleOf(fd_), out.data() + done, piece, &got, &at)) {
      const DWORD code = ::GetLastError();
      error_ = code == ERROR_HANDLE_EOF ? EIO : win32::errnoFromWinError(code);
      return false;
    }
    if (got == 0) {
      // Shorter than it was when measured: what is missing is not there.
      error_ = EIO;
      return false;
    }
    done += got;
  }
  return true;
}

}  // namespace tov::platform
