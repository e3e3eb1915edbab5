#include "converter/ProgramInfo.h"

#include <string>

#include "platform/Path.h"
#include "platform/ProgramLocation.h"
#include "support/FileNameFunctions.h"

namespace quillmark {
namespace {

std::u16string executableName() {
  const std::filesystem::path program = tov::platform::programPath();
  if (program.empty()) return u"quillmark";
  // The name in the file system's own bytes (UTF-8 where the system's
  // names are wide), decoded the way every other name is.
  const std::u8string bytes = program.u8string();
  std::u16string name = tov::asGetFileName(
      tov::platform::fromNativePath(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size())));
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
