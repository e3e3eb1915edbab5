// tovShellFileInfo over every entry of a directory: ReadFile (five shell
// questions), then the program kind; with --icons also the large and small
// icon. Prints how many entries were read, how many distinct type names
// and how many programs were seen, so a peer's run can be checked against it.
//   shell_read_all [--icons] DIR
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "fileio/tovShellFileInfo.h"
#include "platform/Path.h"

int main(int argc, char** argv) {
  const bool icons = argc == 3 && std::strcmp(argv[1], "--icons") == 0;
  if (argc != 2 && !icons) {
    std::fprintf(stderr, "usage: %s [--icons] DIR\n", argv[0]);
    return 2;
  }
  std::vector<std::filesystem::path> entries;
  for (const auto& entry : std::filesystem::directory_iterator(argv[argc - 1])) entries.push_back(entry.path());
  std::sort(entries.begin(), entries.end());
  ferrule::tovShellFileInfo info;
  std::size_t read = 0, programs = 0, drawn = 0;
  std::set<std::u16string> types;
  for (const auto& entry : entries) {
    if (!info.ReadFile(tov::platform::fromNativePath(entry.native()))) continue;
    ++read;
    types.insert(info.TypeName());
    programs += !info.EXEType()->Signature().empty();
    if (icons) {
      drawn += info.icon(ferrule::ShellIconKind::Icon)->Index() >= 0;
      drawn += info.icon(ferrule::ShellIconKind::SmallIcon)->Index() >= 0;
    }
  }
  std::printf("%zu entries, %zu read, %zu type names, %zu programs", entries.size(), read, types.size(), programs);
  if (icons) std::printf(", %zu theme icons", drawn);
  std::printf("\n");
  return 0;
}
