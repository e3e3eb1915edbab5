#include "support/ProcessArguments.h"

#include <fstream>
#include <iterator>

#include "platform/Utf.h"

namespace tov {

// The arguments from /proc, where the kernel keeps them NUL-separated; an
// environment without /proc gives none. Arguments are mostly file names, so
// bytes that are not UTF-8 are kept (escaped), never replaced.
std::vector<std::u16string> processArguments() {
  std::ifstream in("/proc/self/cmdline", std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::vector<std::u16string> arguments;
  std::size_t start = 0;
  bool programName = true;
  while (start < bytes.size()) {
    std::size_t end = bytes.find('\0', start);
    if (end == std::string::npos) end = bytes.size();
    if (!programName)
      arguments.push_back(platform::fromUtf8Escaped(std::string_view(bytes).substr(start, end - start)));
    programName = false;
    start = end + 1;
  }
  return arguments;
}

}  // namespace tov
