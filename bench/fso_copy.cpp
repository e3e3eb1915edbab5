// Copies a file through tovFSO: one GetFileB and one PutFileB, the way a
// client moves a whole file. Timed against cp by bench/wholefile_vs_cp.sh.
#include <cstdio>

#include "fileio/tovFSO.h"
#include "platform/Utf.h"
#include "support/ErrorRecord.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: fso_copy SOURCE TARGET\n");
    return 2;
  }
  ferrule::tovFSO fso;
  try {
    const auto data = fso.GetFileB(tov::platform::fromUtf8(argv[1]), true);
    fso.PutFileB(tov::platform::fromUtf8(argv[2]), data, true);
  } catch (const tov::RuntimeError& e) {
    std::fprintf(stderr, "%s\n", e.what());
    return 1;
  }
  return 0;
}
