#pragma once
// An open file with the Windows open rules: access rights, share modes that
// other openers must respect, and create dispositions.
//
// Share modes are kept with open file description locks on four bytes far
// beyond any real data, so every opener in every process that goes through
// this layer sees them, and the kernel drops them when the file is closed.
#include <cstdint>
#include <limits>
#include <span>
#include <string_view>
#include <utility>

#include "platform/ByteVector.h"

namespace tov::platform {

constexpr std::uint32_t kGenericRead = 0x80000000u;
constexpr std::uint32_t kGenericWrite = 0x40000000u;

constexpr std::uint32_t kFileShareRead = 0x1;
constexpr std::uint32_t kFileShareWrite = 0x2;
constexpr std::uint32_t kFileShareDelete = 0x4;

// Opens directories too, for reading their streams and security; devices,
// FIFOs and sockets are refused without being opened (they have no backup
// streams, and opening one can have effects: a tape rewinds, a terminal can
// become the caller's).
constexpr std::uint32_t kFileFlagBackupSemantics = 0x02000000u;

enum class CreateDisposition : std::uint32_t {
  CreateNew = 1,
  CreateAlways = 2,
  OpenExisting = 3,
  OpenAlways = 4,
  TruncateExisting = 5,
};

class FileHandle {
 public:
  FileHandle() = default;
  ~FileHandle();
  FileHandle(FileHandle&& other) noexcept
      : fd_(std::exchange(other.fd_, -1)), lockFd_(std::exchange(other.lockFd_, -1)), error_(other.error_) {}
  FileHandle& operator=(FileHandle&& other) noexcept {
    if (this != &other) {
      release();
      fd_ = std::exchange(other.fd_, -1);
      lockFd_ = std::exchange(other.lockFd_, -1);
      error_ = other.error_;
    }
    return *this;
  }
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;

  // Opens like CreateFile. On failure the handle is invalid, error() holds
  // the errno and the thread's last error holds the Windows code.
  static FileHandle open(std::u16string_view name, std::uint32_t access, std::uint32_t shareMode,
                         CreateDisposition disposition, std::uint32_t flags = 0);
  // The same with an already native (UTF-8, "/") path.
  static FileHandle openNative(const std::string& path, std::uint32_t access, std::uint32_t shareMode,
                               CreateDisposition disposition, std::uint32_t flags = 0);

  bool valid() const { return fd_ >= 0; }
  int fd() const { return fd_; }
  int error() const { return error_; }

  // Size of the open file in bytes, or -1 on failure.
  std::int64_t size();
  // Reads exactly `length` bytes from `offset` into out (resized); fewer when
  // the file ended first. False on a read error.
  bool readAt(std::int64_t offset, std::size_t length, ByteVector& out);
  // Reads a regular file from the start to its end, however large its size
  // says it is: generated files (/proc) say 0, a growing file says too
  // little. More than `limit` bytes fail with EFBIG, before they are read
  // when the size tells. A device or FIFO is read only as far as its size
  // says, so it never blocks and never floods memory.
  bool readToEnd(ByteVector& out, std::int64_t limit = std::numeric_limits<std::int64_t>::max());
  // Writes every byte at `offset`, retrying short writes. False on failure.
  bool writeAt(std::int64_t offset, std::span<const std::uint8_t> data);
  // Reserves the disk blocks for `length` bytes from `offset` without
  // changing the size, so a later write there cannot run out of space. A
  // file system without reservations, a device or a FIFO has nothing to
  // reserve: true.
  bool reserve(std::int64_t offset, std::int64_t length);
  // Cuts a regular file to `length` bytes (a device or FIFO: nothing to cut).
  bool truncate(std::int64_t length);
  // Closes the file; false when the close reported an error (data may not
  // have reached the disk).
  bool close();

  // Tests whether an open for `access` with `shareMode` would conflict with
  // the share modes of the file's current openers (used before replacing a
  // file that is not opened itself).
  static bool wouldConflict(const std::string& path, std::uint32_t access, std::uint32_t shareMode);

 private:
  bool fail(int err);
  void release();

  int fd_ = -1;
  // Share-mode locks need a descriptor open for reading; a write-only open
  // keeps a second, read-only description for them.
  int lockFd_ = -1;
  int error_ = 0;
};

}  // namespace tov::platform
