#include "platform/FileStatus.h"

#include <sys/stat.h>

#include <cerrno>

namespace tov::platform {
namespace {

FileStatus from(int rc, const struct stat& st) {
  FileStatus status;
  if (rc != 0) {
    status.error = errno;
    return status;
  }
  status.exists = true;
  status.directory = S_ISDIR(st.st_mode);
  status.regular = S_ISREG(st.st_mode);
  status.size = st.st_size;
  return status;
}

}  // namespace

FileStatus fileStatus(const std::string& path) {
  struct stat st {};
  return from(::stat(path.empty() ? "." : path.c_str(), &st), st);
}

FileStatus linkStatus(const std::string& path) {
  struct stat st {};
  return from(::lstat(path.empty() ? "." : path.c_str(), &st), st);
}

FileStatus fileStatus(const FileHandle& file) {
  struct stat st {};
  return from(::fstat(file.fd(), &st), st);
}

bool sameFile(const std::string& a, const std::string& b) {
  struct stat sa {}, sb {};
  if (::stat(a.c_str(), &sa) != 0 || ::stat(b.c_str(), &sb) != 0) return false;
  return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

}  // namespace tov::platform
