#include "converter/ProgramInfo.h"

#include <unistd.h>

#include <string>

#include "platform/Path.h"
#include "support/FileNameFunctions.h"

namespace quillmark {
namespace {

std::u16string executableName() {
  char buf[4096];
  const ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
  if (n <= 0) return u"quillmark";
  std::u16string name = tov::asGetFileName(tov::platform::fromNativePath(std::string(buf, static_cast<std::size_t>(n))));
  const std::u16string ext = tov::asGetFileExtension(name);
  if (!ext.empty()) name.resize(name.size() - ext.size() - 1);
  return name;
}

}  // namespace

const tov::AppInfo& programInfo() {
  static const tov::AppInfo info{u"Quillmark", kProgramTitle, kVersionMajor, kVersionMinor, kVersionRevision,
                                 executableName()};
  return info;
}

}  // namespace quillmark
