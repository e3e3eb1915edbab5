#include "VersionSeeds.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "VersionImages.h"

namespace tovtest {
namespace {

Block sample() {
  return versionInfo(fixedInfo(0x00050001, 0x0A281588, 0x00050001, 0),
                     {stringFileInfo({{u"040904B0", {{u"CompanyName", u"TOVapps"}, {u"FileVersion", u"5.1"}}},
                                      {u"041904E3", {{u"CompanyName", u"\u0422\u041E\u0412"}}}}),
                      varFileInfo({{0x0409, 1200}, {0x0419, 1251}})});
}

std::vector<std::filesystem::path> installedImages() {
  std::vector<std::filesystem::path> found;
  for (const char* dir : {"/usr/i686-w64-mingw32/lib", "/usr/x86_64-w64-mingw32/lib",
                          "/usr/lib/x86_64-linux-gnu/wine/x86_64-windows", "/usr/lib/x86_64-linux-gnu/wine/i386-windows"}) {
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(dir, ec)) {
      if (entry.is_regular_file(ec)) found.push_back(entry.path());
    }
  }
  std::sort(found.begin(), found.end());
  return found;
}

}  // namespace

std::vector<Seed> versionSeeds(std::size_t maxInstalled, std::size_t maxInstalledSize) {
  const Block tree = sample();
  const Bytes wide = encodeBlock(tree, true);
  Block narrowTree = tree;
  narrowTree.children[0].children.pop_back();  // keep the text single-byte
  const Bytes narrow = encodeBlock(narrowTree, false);
  std::vector<Seed> seeds = {
      {"pe32", peImage(wide)},
      {"pe32plus", peImage(wide, true)},
      {"pe-languages", peImage({{0x0407, wide}, {0x0000, wide}, {0x0419, narrow}})},
      {"ne", neImage(narrow)},
      {"ne-wide", neImage(wide)},
      {"tree-wide", wide},
      {"tree-narrow", narrow},
  };
  std::size_t taken = 0;
  for (const auto& path : installedImages()) {
    if (taken >= maxInstalled) break;
    std::error_code ec;
    if (std::filesystem::file_size(path, ec) > maxInstalledSize || ec) continue;
    std::ifstream in(path, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), {});
    // Only images with version data are worth mutating.
    if (bytes.find(std::string("V\0S\0_\0V\0E\0R", 11)) == std::string::npos) continue;
    seeds.push_back({path.filename().string(), std::move(bytes)});
    ++taken;
  }
  return seeds;
}

}  // namespace tovtest
