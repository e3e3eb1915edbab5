#pragma once
// The system's error codes in the errno terms the portable code reports
// with (FileHandle::error(), AtomicFileWriter::error()); the system's own
// code stays in the thread's last error.
#include <cstdint>

namespace tov::platform::win32 {

int errnoFromWinError(std::uint32_t code);

}  // namespace tov::platform::win32
