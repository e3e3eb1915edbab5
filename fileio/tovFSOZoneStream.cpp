// Where a file's zone mark lives: the stream Zone.Identifier of the file
// named absolute, since the profile functions look for a bare name in a
// folder of their own.
#include <unistd.h>

#include <cerrno>
#include <string>
#include <vector>

#include "fileio/tovFSO.h"
#include "platform/Path.h"

namespace ferrule {
namespace {

bool isAbsolute(std::u16string_view name) { return !name.empty() && (name[0] == u'/' || name[0] == u'\\'); }

std::u16string currentDirectory() {
  std::vector<char> buf(4096);
  while (::getcwd(buf.data(), buf.size()) == nullptr) {
    if (errno != ERANGE) return {};
    buf.resize(buf.size() * 2);
  }
  return tov::platform::fromNativePath(buf.data());
}

}  // namespace

// A name without a directory is the file in the current directory, and
// nowhere else. The directory is put in front as it is: folding "a/.."
// by its text would, through a symbolic link, name another file than the
// one the existence test saw.
std::u16string tovFSO::zoneStreamName(std::u16string_view fileName) {
  std::u16string name;
  if (!isAbsolute(fileName)) {
    name = currentDirectory();
    if (!name.empty()) name += u'/';
  }
  name += fileName;
  name += u":Zone.Identifier";
  return name;
}

}  // namespace ferrule
