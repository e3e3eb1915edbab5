// tovFileVersion over every file of a directory: ReadFile, then all thirteen
// string properties. Prints how many files had version data and how many
// strings were not empty, so a peer's run can be checked against it.
//   version_read_all DIR
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "fileio/tovFileVersion.h"
#include "platform/Path.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s DIR\n", argv[0]);
    return 2;
  }
  std::vector<std::filesystem::path> files;
  for (const auto& entry : std::filesystem::directory_iterator(argv[1])) {
    if (entry.is_regular_file()) files.push_back(entry.path());
  }
  std::sort(files.begin(), files.end());
  using Str = std::u16string (ferrule::tovFileVersion::*)() const;
  static constexpr Str kStrings[] = {
      &ferrule::tovFileVersion::StrComments,        &ferrule::tovFileVersion::StrCompanyName,
      &ferrule::tovFileVersion::StrFileDescription, &ferrule::tovFileVersion::StrFileVersion,
      &ferrule::tovFileVersion::StrInternalName,    &ferrule::tovFileVersion::StrLegalCopyright,
      &ferrule::tovFileVersion::StrLegalTrademarks, &ferrule::tovFileVersion::StrOLESelfRegister,
      &ferrule::tovFileVersion::StrOriginalFilename, &ferrule::tovFileVersion::StrPrivateBuild,
      &ferrule::tovFileVersion::StrProductName,     &ferrule::tovFileVersion::StrProductVersion,
      &ferrule::tovFileVersion::StrSpecialBuild};
  std::size_t withVersion = 0;
  std::size_t strings = 0;
  ferrule::tovFileVersion version;
  for (const auto& file : files) {
    if (!version.ReadFile(tov::platform::fromNativePath(file.native()))) continue;
    ++withVersion;
    for (Str str : kStrings) strings += !(version.*str)().empty();
  }
  std::printf("%zu files, %zu with version data, %zu strings\n", files.size(), withVersion, strings);
  return 0;
}
