// Images read through the system's own file handles.
#include "platform/ImageBytes.h"

#include <windows.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "platform/win32/HandleSlot.h"
#include "platform/win32/SystemErrors.h"

namespace tov::platform {
namespace {

// Enough for the DOS stub, the new header and a usual section table.
constexpr std::size_t kHeadBytes = 4096;

}  // namespace

bool ImageBytes::contains(std::uint64_t offset, std::uint64_t length) const {
  return offset <= size() && length <= size() - offset;
}

bool ImageBytes::read(std::uint64_t offset, std::size_t length, ByteVector& out) {
  if (!contains(offset, length)) return false;
  out.resize(length);
  return read(offset, std::span<std::uint8_t>(out.data(), out.size()));
}

std::optional<std::uint16_t> ImageBytes::u16(std::uint64_t offset) {
  std::uint8_t b[2];
  if (!read(offset, b)) return std::nullopt;
  return loadU16(b);
}

std::optional<std::uint32_t> ImageBytes::u32(std::uint64_t offset) {
  std::uint8_t b[4];
  if (!read(offset, b)) return std::nullopt;
  return loadU32(b);
}

bool MemoryImageBytes::read(std::uint64_t offset, std::span<std::uint8_t> out) {
  if (!contains(offset, out.size())) return false;
  if (!out.empty()) std::memcpy(out.data(), bytes_.data() + offset, out.size());
  return true;
}

FileImageBytes::FileImageBytes(int fd, std::uint64_t size) : fd_(fd), size_(size) {
  ByteVector head(static_cast<std::size_t>(std::min<std::uint64_t>(size_, kHeadBytes)));
  if (readFromFile(0, std::span<std::uint8_t>(head.data(), head.size()))) head_ = std::move(head);
}

bool FileImageBytes::read(std::uint64_t offset, std::span<std::uint8_t> out) {
  if (!contains(offset, out.size())) return false;
  if (offset + out.size() <= head_.size()) {
    if (!out.empty()) std::memcpy(out.data(), head_.data() + offset, out.size());
    return true;
  }
  return readFromFile(offset, out);
}

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
