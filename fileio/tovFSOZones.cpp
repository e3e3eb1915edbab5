// Zone members of tovFSO.
#include <string>

#include "fileio/tovFSO.h"
#include "platform/PrivateProfile.h"
#include "support/FileNameFunctions.h"
#include "support/ProfileFunctions.h"

namespace ferrule {
namespace {

constexpr std::u16string_view kZoneSection = u"ZoneTransfer";
constexpr std::u16string_view kZoneKey = u"ZoneId";

}  // namespace

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
