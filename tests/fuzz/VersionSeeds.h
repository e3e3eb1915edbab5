#pragma once
// Seeds for fuzzing the version readers: images built here in every format
// and layout, and the small Windows images installed on this system.
#include <string>
#include <vector>

namespace tovtest {

struct Seed {
  std::string name;
  std::string bytes;
};

// The built images first, then up to `maxInstalled` installed images of at
// most `maxInstalledSize` bytes that carry version data, in name order.
std::vector<Seed> versionSeeds(std::size_t maxInstalled, std::size_t maxInstalledSize);

}  // namespace tovtest
