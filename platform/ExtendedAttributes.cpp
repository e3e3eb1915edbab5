#include "platform/ExtendedAttributes.h"

#include <sys/xattr.h>

#include <cerrno>
#include <string_view>

namespace tov::platform {
namespace {

// A size query and a read that races with a writer can see ERANGE more than
// once; a writer that keeps growing the value is not waited for forever.
constexpr int kAttempts = 8;

bool noAttributesHere(int err) { return err == ENOTSUP || err == EOPNOTSUPP; }

}  // namespace

int listAttributeNames(int fd, std::vector<std::string>& names) {
  names.clear();
  std::vector<char> list;
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    const ssize_t size = ::flistxattr(fd, nullptr, 0);
    if (size < 0) return noAttributesHere(errno) ? 0 : errno;
    if (size == 0) return 0;
    list.resize(static_cast<std::size_t>(size));
    const ssize_t got = ::flistxattr(fd, list.data(), list.size());
    if (got < 0) {
      if (errno == ERANGE) continue;
      return noAttributesHere(errno) ? 0 : errno;
    }
    for (std::size_t pos = 0; pos < static_cast<std::size_t>(got);) {
      // Each name ends with a NUL; a list cut short keeps what is whole.
      const std::string_view rest(list.data() + pos, static_cast<std::size_t>(got) - pos);
      const std::size_t end = rest.find('\0');
      if (end == std::string_view::npos) break;
      if (end > 0) names.emplace_back(rest.substr(0, end));
      pos += end + 1;
    }
    return 0;
  }
  return ERANGE;
}

int readAttribute(int fd, const std::string& name, ByteVector& value) {
  value.clear();
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    const ssize_t size = ::fgetxattr(fd, name.c_str(), nullptr, 0);
    if (size < 0) return errno;
    if (size == 0) return 0;
    value.resize(static_cast<std::size_t>(size));
    const ssize_t got = ::fgetxattr(fd, name.c_str(), value.data(), value.size());
    if (got >= 0) {
      value.resize(static_cast<std::size_t>(got));
      return 0;
    }
    if (errno != ERANGE) {
      value.clear();
      return errno;
    }
  }
  value.clear();
  return ERANGE;
}

}  // namespace tov::platform
