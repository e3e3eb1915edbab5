#pragma once
// What the file system tells about a name or an open file without reading
// it: whether it is there, a directory, a plain file, and its size. Callers
// decide with it what they may open and how much to read.
#include <cstdint>
#include <string>

#include "platform/FileHandle.h"

namespace tov::platform {

struct FileStatus {
  bool exists = false;
  bool directory = false;
  // A plain file: not a directory, device, pipe or socket.
  bool regular = false;
  std::int64_t size = 0;
  // The errno of a failed query (ENOENT for a missing name), 0 otherwise.
  int error = 0;
};

// The named file, through symbolic links. `path` is native (Path.h).
FileStatus fileStatus(const std::string& path);
// The name itself: a symbolic link is reported as existing, not followed.
FileStatus linkStatus(const std::string& path);
// The open file.
FileStatus fileStatus(const FileHandle& file);

// True when both native paths lead to one existing file, whatever names
// they use.
bool sameFile(const std::string& a, const std::string& b);

}  // namespace tov::platform
