#pragma once
// Writes a new file beside an existing one and puts it in the old one's place
// in one rename, so a failure at any point leaves the old file as it was.
#include <cstdint>
#include <span>
#include <string>

#include "platform/FileHandle.h"

namespace tov::platform {

class AtomicFileWriter {
 public:
  // Creates the temporary file in the target's directory. On failure
  // valid() is false and error() holds the errno.
  explicit AtomicFileWriter(std::string targetPath);
  ~AtomicFileWriter();
  AtomicFileWriter(const AtomicFileWriter&) = delete;
  AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

  bool valid() const { return file_.valid(); }
  int error() const { return error_; }
  FileHandle& file() { return file_; }

  // Appends to the new file; false (and error()) on any failure.
  bool write(std::span<const std::uint8_t> data);
  // Closes the new file and renames it over the target. On failure the
  // temporary file is removed and the target is untouched.
  bool commit();

 private:
  bool fail(int err);

  std::string target_;
  std::string temp_;
  FileHandle file_;
  std::int64_t written_ = 0;
  int error_ = 0;
  bool committed_ = false;
};

}  // namespace tov::platform
