#include "platform/FullEaInformation.h"

#include <limits>

namespace tov::platform {
namespace {

constexpr std::size_t kFixedPart = 8;  // next offset, flags, name length, value length

std::size_t entrySize(const NamedValue& a) { return kFixedPart + a.name.size() + 1 + a.value.size(); }
std::size_t aligned(std::size_t n) { return (n + 3) & ~std::size_t{3}; }

}  // namespace

bool fitsFullEaInformation(const NamedValue& attribute) {
  return attribute.name.size() <= std::numeric_limits<std::uint8_t>::max() &&
         attribute.value.size() <= std::numeric_limits<std::uint16_t>::max();
}

ByteVector fullEaInformation(const std::vector<NamedValue>& attributes) {
  std::vector<const NamedValue*> kept;
  for (const NamedValue& a : attributes) {
    if (fitsFullEaInformation(a)) kept.push_back(&a);
  }
  ByteVector out;
  for (std::size_t i = 0; i < kept.size(); ++i) {
    const NamedValue& a = *kept[i];
    const bool last = i + 1 == kept.size();
    const std::size_t start = out.size();
    const std::uint32_t next = last ? 0 : static_cast<std::uint32_t>(aligned(entrySize(a)));
    for (int b = 0; b < 4; ++b) out.push_back(static_cast<std::uint8_t>(next >> (8 * b)));
    out.push_back(0);  // flags: no entry is one the file cannot be used without
    out.push_back(static_cast<std::uint8_t>(a.name.size()));
    out.push_back(static_cast<std::uint8_t>(a.value.size()));
    out.push_back(static_cast<std::uint8_t>(a.value.size() >> 8));
    out.insert(out.end(), a.name.begin(), a.name.end());
    out.push_back(0);
    out.insert(out.end(), a.value.begin(), a.value.end());
    if (!last) out.resize(start + next, 0);
  }
  return out;
}

}  // namespace tov::platform
