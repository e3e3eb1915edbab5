// asGetFullFileName: the name made absolute against the current directory,
// with "." and ".." resolved by text alone (links are not followed).
#include <unistd.h>

#include <cerrno>
#include <string>
#include <vector>

#include "platform/Path.h"
#include "support/ErrorRecord.h"
#include "support/FileNameFunctions.h"

namespace tov {
namespace {

bool isSeparator(char16_t c) { return c == u'/' || c == u'\\'; }

std::u16string currentDirectory() {
  std::vector<char> buf(4096);
  while (getcwd(buf.data(), buf.size()) == nullptr) {
    if (errno != ERANGE) throw RuntimeError(fileSystemError(errno));
    buf.resize(buf.size() * 2);
  }
  return platform::fromNativePath(buf.data());
}

}  // namespace

std::u16string asGetFullFileName(std::u16string_view name) {
  std::u16string whole;
  if (name.empty() || !isSeparator(name.front())) {
    whole = currentDirectory();
    whole += u'/';
  }
  whole += name;

  std::vector<std::u16string_view> parts;
  std::u16string_view rest = whole;
  while (!rest.empty()) {
    std::size_t i = 0;
    while (i < rest.size() && !isSeparator(rest[i])) ++i;
    const std::u16string_view part = rest.substr(0, i);
    if (part == u"..") {
      if (!parts.empty()) parts.pop_back();
    } else if (!part.empty() && part != u".") {
      parts.push_back(part);
    }
    rest.remove_prefix(i < rest.size() ? i + 1 : i);
  }
  std::u16string out;
  for (const auto& part : parts) {
    out += u'/';
    out += part;
  }
  if (out.empty()) out.push_back(u'/');
  // A name that ends in a separator names a directory; keep that.
  if (!name.empty() && isSeparator(name.back()) && out.size() > 1) out += u'/';
  return out;
}

}  // namespace tov
