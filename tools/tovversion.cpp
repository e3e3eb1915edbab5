// Prints the version of the file-services library this tree builds.
#include <cstdio>

#include "fileio/LibraryVersion.h"
#include "platform/Utf.h"
#include "support/SystemFunctions.h"

int main() {
  const auto version = tov::asFormatVersion(ferrule::kVersionMajor, ferrule::kVersionMinor, ferrule::kVersionRevision);
  std::printf("%s %s\n", tov::platform::toUtf8(ferrule::kLibraryName).c_str(), tov::platform::toUtf8(version).c_str());
  return 0;
}
