#include "platform/ListingOrder.h"

#include <algorithm>

#include "platform/CaseFold.h"

namespace tov::platform {
namespace {

int dotRank(std::u16string_view name) {
  if (name == u".") return 0;
  if (name == u"..") return 1;
  return 2;
}

}  // namespace

bool listedBefore(std::u16string_view a, std::u16string_view b) {
  const int ra = dotRank(a);
  const int rb = dotRank(b);
  if (ra != rb) return ra < rb;
  const std::size_t n = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < n; ++i) {
    const char16_t x = foldCase(a[i]);
    const char16_t y = foldCase(b[i]);
    if (x != y) return x < y;
  }
  if (a.size() != b.size()) return a.size() < b.size();
  return a < b;
}

}  // namespace tov::platform
