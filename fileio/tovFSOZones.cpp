// Zone members of tovFSO.
#include <unistd.h>

#include <cerrno>

#include <string>
#include <vector>

#include "fileio/tovFSO.h"
#include "platform/Path.h"
#include "platform/PrivateProfile.h"
#include "support/FileNameFunctions.h"
#include "support/ProfileFunctions.h"

namespace ferrule {
namespace {

constexpr std::u16string_view kZoneSection = u"ZoneTransfer";
constexpr std::u16string_view kZoneKey = u"ZoneId";
constexpr std::u16string_view kZoneStream = u":Zone.Identifier";

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
  name += kZoneStream;
  return name;
}

std::int32_t tovFSO::GetFileZone(std::u16string_view FileName) {
  return tov::platform::GetPrivateProfileIntW(kZoneSection, kZoneKey, fzLocalMachine, zoneStreamName(FileName));
}

bool tovFSO::SetFileZone(std::u16string_view FileName, std::int32_t FileZone) {
  if (!tov::asIsFileExist(FileName)) return false;
  const std::string text = std::to_string(FileZone);
  return tov::platform::WritePrivateProfileStringW(kZoneSection, kZoneKey, std::u16string(text.begin(), text.end()),
                                                   zoneStreamName(FileName));
}

bool tovFSO::IsFileZoneDefined(std::u16string_view FileName) {
  if (!tov::asIsFileExist(FileName)) return false;
  return tov::asIsINIKeyExist2(kZoneSection, kZoneKey, zoneStreamName(FileName));
}

bool tovFSO::DeleteFileZone(std::u16string_view FileName) {
  if (!tov::asIsFileExist(FileName)) return false;
  if (!IsFileZoneDefined(FileName)) return false;
  // Only the key goes; the section line and any other content stay.
  return tov::platform::WritePrivateProfileStringW(kZoneSection, kZoneKey, std::nullopt, zoneStreamName(FileName));
}

}  // namespace ferrule
