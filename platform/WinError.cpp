#include "platform/WinError.h"

namespace tov::platform {
namespace {
thread_local std::uint32_t t_lastError = kErrorSuccess;
}

std::uint32_t GetLastError() { return t_lastError; }
void SetLastError(std::uint32_t code) { t_lastError = code; }

}  // namespace tov::platform
