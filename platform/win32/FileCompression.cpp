// The file system's compression through its own control requests
// (FSCTL_GET_COMPRESSION, FSCTL_SET_COMPRESSION), as NTFS answers them.
#include "platform/FileCompression.h"

#include <windows.h>
#include <winioctl.h>

#include "platform/WinError.h"
#include "platform/win32/WideText.h"

namespace tov::platform {
namespace {

class OpenForControl {
 public:
  OpenForControl(std::u16string_view name, DWORD access, DWORD share) {
    std::wstring wideName = win32::wide(name);
    for (wchar_t& c : wideName) {
      if (c == L'/') c = L'\\';
    }
    // Directories open only with backup semantics.
    h_ = ::CreateFileW(wideName.c_str(), access, share, nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  }
  ~OpenForControl() {
    if (h_ != INVALID_HANDLE_VALUE) ::CloseHandle(h_);
  }
  OpenForControl(const OpenForControl&) = delete;
  OpenForControl& operator=(const OpenForControl&) = delete;
  HANDLE get() const { return h_; }

 private:
  HANDLE h_ = INVALID_HANDLE_VALUE;
};

}  // namespace

std::uint32_t queryFileCompression(std::u16string_view name, std::uint16_t& format) {
  format = kCompressionFormatNone;
  if (name.empty() || name.find(u'\0') != std::u16string_view::npos) return kErrorInvalidName;
  const OpenForControl file(name, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE);
  if (file.get() == INVALID_HANDLE_VALUE) return ::GetLastError();
  USHORT state = 0;
  DWORD returned = 0;
  if (!::DeviceIoControl(file.get(), FSCTL_GET_COMPRESSION, nullptr, 0, &state, sizeof state, &returned, nullptr)) {
    return ::GetLastError();
  }
  format = state;
  return kErrorSuccess;
}

std::uint32_t changeFileCompression(std::u16string_view name, std::uint16_t format) {
  if (format > kCompressionFormatLznt1) return kErrorInvalidParameter;
  if (name.empty() || name.find(u'\0') != std::u16string_view::npos) return kErrorInvalidName;
  const OpenForControl file(name, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ);
  if (file.get() == INVALID_HANDLE_VALUE) return ::GetLastError();
  USHORT state = format;
  DWORD returned = 0;
  if (!::DeviceIoControl(file.get(), FSCTL_SET_COMPRESSION, &state, sizeof state, nullptr, 0, &returned, nullptr)) {
    return ::GetLastError();
  }
  return kErrorSuccess;
}

}  // namespace tov::platform
