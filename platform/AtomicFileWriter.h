#pragma once
// The one way the system replaces a file's content: puts, INI profiles, the
// settings store, the component registry and description lists all write
// through it.
//
// - A regular file: the new content goes into a new file beside it, is
//   flushed to the disk and renamed over the old one, and the directory is
//   flushed after. A failure at any step leaves the old file byte for byte; a
//   power cut leaves the old or the new content, never an empty file. The
//   new file keeps the old one's permission bits, its owner and group where
//   the caller may set them, and on request its extended attributes.
// - A symbolic link stays a link; the file it leads to gets the content.
// - A device or a FIFO is written through, as cp does; it is never replaced
//   by a regular file. A socket or a directory is refused (EACCES, EISDIR).
// - A read-only file is never replaced (EACCES, for administrators too), nor
//   one whose holder refuses other writers (EBUSY).
// - In a directory that takes no new files an existing file is rewritten in
//   place; the space is reserved first, so a full disk fails before any of
//   the old content is touched.
// - A missing file is created the same way, without the flushes: there is
//   no old content to protect.
//
// Errors are errno values; the thread's last error gets the Windows code.
#include <sys/stat.h>

#include <cstdint>
#include <span>
#include <string>

#include "platform/ByteVector.h"
#include "platform/FileHandle.h"

namespace tov::platform {

class AtomicFileWriter {
 public:
  // What the new file takes over from the one it replaces.
  enum class Keep {
    Permissions,  // permission bits (and ACL), owner and group
    // ... and the user extended attributes: DOS attributes, alternate
    // streams and the rest, for files that are edited rather than
    // recreated (profiles, description lists).
    PermissionsAndAttributes,
  };

  // Opens the way to the target. On failure valid() is false and error()
  // holds the errno; write() and commit() then fail with it.
  explicit AtomicFileWriter(std::string targetPath, Keep keep = Keep::Permissions);
  ~AtomicFileWriter();
  AtomicFileWriter(const AtomicFileWriter&) = delete;
  AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

  bool valid() const { return error_ == 0; }
  int error() const { return error_; }

  // Adds bytes to the new content; false (and error()) on any failure.
  bool write(std::span<const std::uint8_t> data);
  // Puts the new content in place. Without a commit the target stays as it
  // was (a device or FIFO has by then received what was written).
  bool commit();

  // The whole job in one call: 0 or the errno.
  static int replace(const std::string& targetPath, std::span<const std::uint8_t> bytes,
                     Keep keep = Keep::Permissions);

 private:
  enum class Mode { Replace, InPlace, WriteThrough };

  bool fail(int err);
  void openTarget();
  bool openTemporary();
  bool openInPlace();
  bool openWriteThrough();
  bool takeOverFromOld();
  bool commitReplace();
  bool commitInPlace();

  std::string target_;  // the file that gets the content, links followed
  std::string temp_;
  Keep keep_;
  Mode mode_ = Mode::Replace;
  bool exists_ = false;  // the target existed: its content is worth flushing for
  struct stat old_ {};
  FileHandle file_;
  int throughFd_ = -1;  // a device or FIFO: written in order, no offsets
  ByteVector pending_;  // in-place content, written only once it is complete
  std::int64_t written_ = 0;
  int error_ = 0;
  bool committed_ = false;
};

}  // namespace tov::platform
