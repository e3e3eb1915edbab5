// A deterministic mutation run over the version readers, for every build:
//   version_mutations [CASES]        runs CASES mutated inputs (default 5000)
//   version_mutations --seeds DIR    writes the seed corpus for the fuzzer
// Mutations land where the readers look: the bytes a recorded run over the
// unmutated seed read, and the whole of small seeds.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <span>
#include <string>
#include <vector>

#include "VersionFuzzTarget.h"
#include "VersionSeeds.h"
#include "platform/ExecutableImage.h"

namespace {

using tov::platform::ImageBytes;
using tov::platform::MemoryImageBytes;

// Remembers which bytes the image readers asked for.
class RecordingBytes final : public ImageBytes {
 public:
  explicit RecordingBytes(std::span<const std::uint8_t> bytes) : inner_(bytes), size_(bytes.size()) {}
  std::uint64_t size() const override { return size_; }
  bool read(std::uint64_t offset, std::span<std::uint8_t> out) override {
    if (offset < size_) ranges_.push_back({offset, std::min<std::uint64_t>(out.size(), size_ - offset)});
    return inner_.read(offset, out);
  }
  using ImageBytes::read;
  const std::vector<std::pair<std::uint64_t, std::uint64_t>>& ranges() const { return ranges_; }

 private:
  MemoryImageBytes inner_;
  std::uint64_t size_;
  std::vector<std::pair<std::uint64_t, std::uint64_t>> ranges_;
};

std::span<const std::uint8_t> bytesOf(const std::string& s) {
  return {reinterpret_cast<const std::uint8_t*>(s.data()), s.size()};
}

// The offsets worth mutating in a seed.
std::vector<std::size_t> hotOffsets(const std::string& seed) {
  if (seed.size() <= 4096) {
    std::vector<std::size_t> all(seed.size());
    for (std::size_t i = 0; i < all.size(); ++i) all[i] = i;
    return all;
  }
  RecordingBytes recorder(bytesOf(seed));
  const std::uint16_t english = 0x0409;
  tov::platform::ResourceLocation found;
  tov::platform::findResource(recorder, 16, 1, {&english, 1}, found);
  std::vector<std::size_t> hot;
  auto add = [&](std::uint64_t offset, std::uint64_t length) {
    for (std::uint64_t i = 0; i < std::min<std::uint64_t>(length, 4096); ++i) hot.push_back(offset + i);
  };
  for (const auto& [offset, length] : recorder.ranges()) add(offset, length);
  if (found.size > 0) add(found.offset, found.size);
  std::sort(hot.begin(), hot.end());
  hot.erase(std::unique(hot.begin(), hot.end()), hot.end());
  return hot;
}

constexpr std::uint32_t kInteresting[] = {0,      1,      2,          3,          4,          6,
                                          0x10,   0x34,   0x7F,       0x80,       0xFF,       0x100,
                                          0x7FFF, 0x8000, 0x8001,     0x8010,     0xFFFE,     0xFFFF,
                                          0x10000, 0x7FFFFFFF, 0x80000000, 0xFFFFFFF0, 0xFFFFFFFF};

struct Mutator {
  std::mt19937 random{20240611};

  std::size_t pick(std::size_t n) { return std::uniform_int_distribution<std::size_t>(0, n - 1)(random); }

  // One to four mutations of a copy of the seed.
  std::string mutate(const std::string& seed, const std::vector<std::size_t>& hot) {
    std::string data = seed;
    const std::size_t count = 1 + pick(4);
    for (std::size_t i = 0; i < count && !data.empty(); ++i) {
      const std::size_t at = std::min(hot.empty() ? pick(data.size()) : hot[pick(hot.size())], data.size() - 1);
      switch (pick(6)) {
        case 0: data[at] = static_cast<char>(data[at] ^ (1 << pick(8))); break;
        case 1: data[at] = static_cast<char>(kInteresting[pick(std::size(kInteresting))]); break;
        case 2: {
          const std::uint32_t v = kInteresting[pick(std::size(kInteresting))];
          for (std::size_t b = 0; b < 2 && at + b < data.size(); ++b) data[at + b] = static_cast<char>(v >> (8 * b));
          break;
        }
        case 3: {
          const std::uint32_t v = kInteresting[pick(std::size(kInteresting))];
          for (std::size_t b = 0; b < 4 && at + b < data.size(); ++b) data[at + b] = static_cast<char>(v >> (8 * b));
          break;
        }
        case 4: data.resize(at); break;
        default: {
          // Move a run of bytes: lengths and offsets no longer agree.
          const std::size_t length = std::min<std::size_t>(1 + pick(64), data.size() - at);
          if (pick(2) == 0) data.erase(at, length);
          else data.insert(at, data.substr(at, length));
          break;
        }
      }
    }
    return data;
  }
};

int writeSeeds(const std::filesystem::path& dir) {
  std::filesystem::create_directories(dir);
  for (const auto& seed : tovtest::versionSeeds(32, 256 * 1024)) {
    std::ofstream(dir / seed.name, std::ios::binary) << seed.bytes;
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::string(argv[1]) == "--seeds") return writeSeeds(argv[2]);
  const long cases = argc > 1 ? std::strtol(argv[1], nullptr, 10) : 5000;
  if (cases <= 0) {
    std::fprintf(stderr, "usage: %s [CASES] | --seeds DIR\n", argv[0]);
    return 2;
  }
  const std::vector<tovtest::Seed> seeds = tovtest::versionSeeds(8, 256 * 1024);
  std::vector<std::vector<std::size_t>> hot;
  for (const auto& seed : seeds) {
    hot.push_back(hotOffsets(seed.bytes));
    LLVMFuzzerTestOneInput(bytesOf(seed.bytes).data(), seed.bytes.size());
  }
  Mutator mutator;
  for (long i = 0; i < cases; ++i) {
    const std::size_t s = static_cast<std::size_t>(i) % seeds.size();
    const std::string input = mutator.mutate(seeds[s].bytes, hot[s]);
    LLVMFuzzerTestOneInput(bytesOf(input).data(), input.size());
  }
  std::printf("%ld mutated cases over %zu seeds: no fault\n", cases, seeds.size());
  return 0;
}
