#include "platform/IconHandles.h"

#include <mutex>
#include <set>
#include <unordered_map>

namespace tov::platform {
namespace {

struct HandleTable {
  std::mutex lock;
  std::unordered_map<std::uint32_t, IconPixels> icons;
  std::set<std::uint32_t> reserved;
  std::uint32_t last = 0;

  // The next number not in use; 0 is never one.
  std::uint32_t next() {
    do {
      ++last;
    } while (last == 0 || icons.contains(last) || reserved.contains(last));
    return last;
  }
};

HandleTable& table() {
  static HandleTable* t = new HandleTable;  // lives as long as any caller may hold a handle
  return *t;
}

}  // namespace

IconHandle CreateIconFromPixels(IconPixels pixels) {
  if (!pixels.valid()) return 0;
  HandleTable& t = table();
  std::lock_guard guard(t.lock);
  const std::uint32_t handle = t.next();
  t.icons.emplace(handle, std::move(pixels));
  return handle;
}

bool DestroyIcon(IconHandle icon) {
  HandleTable& t = table();
  std::lock_guard guard(t.lock);
  return t.icons.erase(icon) == 1;
}

std::optional<IconPixels> takeIcon(IconHandle icon) {
  HandleTable& t = table();
  std::lock_guard guard(t.lock);
  auto it = t.icons.find(icon);
  if (it == t.icons.end()) return std::nullopt;
  IconPixels pixels = std::move(it->second);
  t.icons.erase(it);
  return pixels;
}

std::optional<IconPixels> iconPixels(IconHandle icon) {
  HandleTable& t = table();
  std::lock_guard guard(t.lock);
  auto it = t.icons.find(icon);
  if (it == t.icons.end()) return std::nullopt;
  return it->second;
}

std::size_t liveIconCount() {
  HandleTable& t = table();
  std::lock_guard guard(t.lock);
  return t.icons.size();
}

std::uint32_t reserveIconFamilyHandle() {
  HandleTable& t = table();
  std::lock_guard guard(t.lock);
  const std::uint32_t handle = t.next();
  t.reserved.insert(handle);
  return handle;
}

}  // namespace tov::platform
