// The file is read whole through the system's own open, which also reaches
// a named stream of a file ("log.xml:copy"). What is not a file on disk
// (a pipe, a console, a device) is refused before anything is read.
#include "support/XmlFileReader.h"

#include <windows.h>

#include <cerrno>
#include <cstring>
#include <new>
#include <vector>

#include "platform/Path.h"
#include "platform/Utf.h"
#include "platform/win32/SystemErrors.h"

namespace tov {
namespace {

class OpenFile {
 public:
  explicit OpenFile(HANDLE h) : h_(h) {}
  ~OpenFile() {
    if (h_ != INVALID_HANDLE_VALUE) ::CloseHandle(h_);
  }
  OpenFile(const OpenFile&) = delete;
  OpenFile& operator=(const OpenFile&) = delete;
  HANDLE get() const { return h_; }

 private:
  HANDLE h_;
};

XmlLoadError systemError() { return XmlLoadError::fromSystemError(platform::win32::errnoFromWinError(::GetLastError())); }

XmlLoadError tooLarge() {
  return XmlLoadError::fromReason(u"The file is too large to load: files of 2 GiB or more are not supported.");
}

XmlLoadError notAFile() {
  return XmlLoadError::fromReason(u"The name is a device, pipe or socket, not a file: only files can be loaded.");
}

// Reads until `size` bytes or the end; false on a read error.
bool readFully(HANDLE h, std::uint8_t* out, std::size_t size, std::size_t& done) {
  done = 0;
  while (done < size) {
    DWORD got = 0;
    const DWORD piece = static_cast<DWORD>(std::min<std::size_t>(size - done, 1u << 30));
    if (!::ReadFile(h, out + done, piece, &got, nullptr)) return false;
    if (got == 0) break;
    done += got;
  }
  return true;
}

}  // namespace

XmlFileReader::Result XmlFileReader::read(const std::string& path) {
  Result result;
  const std::u16string name = platform::fromNativePath(path);
  if (name.empty()) {
    result.error = XmlLoadError::fromSystemError(ENOENT);
    return result;
  }
  // The system would stop reading the name at a NUL and open another file.
  if (name.find(u'\0') != std::u16string::npos) {
    result.error = XmlLoadError::fromSystemError(EINVAL);
    return result;
  }
  const std::wstring wideName(reinterpret_cast<const wchar_t*>(name.data()), name.size());
  const DWORD attributes = ::GetFileAttributesW(wideName.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    result.error = XmlLoadError::fromSystemError(EISDIR);
    return result;
  }
  OpenFile file(::CreateFileW(wideName.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (file.get() == INVALID_HANDLE_VALUE) {
    result.error = systemError();
    return result;
  }
  if (::GetFileType(file.get()) != FILE_TYPE_DISK) {
    result.error = notAFile();
    return result;
  }
  LARGE_INTEGER size{};
  if (!::GetFileSizeEx(file.get(), &size)) {
    result.error = systemError();
    return result;
  }
  if (static_cast<std::uint64_t>(size.QuadPart) >= kSizeLimit) {
    result.error = tooLarge();
    return result;
  }
  try {
    result.bytes = XmlBuffer(static_cast<std::size_t>(size.QuadPart));
    std::size_t done = 0;
    if (!readFully(file.get(), result.bytes.data(), result.bytes.size(), done)) {
      result.error = systemError();
      return result;
    }
    result.bytes.truncate(done);
  } catch (const std::bad_alloc&) {
    result.error = XmlLoadError::fromSystemError(ENOMEM);
  }
  return result;
}

}  // namespace tov
