#include "platform/SystemImageList.h"

#include <map>
#include <mutex>
#include <vector>

#include "platform/DesktopModule.h"

namespace tov::platform {
namespace {

struct Entry {
  std::string name;
  std::string largeFile;
  std::optional<IconPixels> drawn[2];  // large, small
  bool failed[2] = {false, false};
};

struct List {
  std::mutex lock;
  std::uint32_t handles[2] = {reserveIconFamilyHandle(), reserveIconFamilyHandle()};
  std::vector<Entry> entries;
  std::map<std::string, std::int32_t> byKey;
};

List& list() {
  static List* l = new List;  // icons drawn for it stay valid to the end of the run
  return *l;
}

int sizeOf(bool small) { return small ? kSmallIconSize : kLargeIconSize; }

// Which list a handle names: 0 large, 1 small, -1 none.
int listIndex(std::uint32_t handle) {
  List& l = list();
  if (handle == l.handles[0]) return 0;
  if (handle == l.handles[1]) return 1;
  return -1;
}

}  // namespace

std::uint32_t SystemImageList::handle(bool small) { return list().handles[small ? 1 : 0]; }

std::int32_t SystemImageList::indexOf(const std::string& name, const std::string& largeFile) {
  List& l = list();
  std::lock_guard guard(l.lock);
  const std::string key = name + '\n' + largeFile;
  auto it = l.byKey.find(key);
  if (it != l.byKey.end()) return it->second;
  const auto index = static_cast<std::int32_t>(l.entries.size());
  l.entries.push_back(Entry{name, largeFile, {}, {false, false}});
  l.byKey.emplace(key, index);
  return index;
}

std::optional<IconPixels> SystemImageList::image(std::int32_t index, bool small) {
  List& l = list();
  const int which = small ? 1 : 0;
  std::string name, largeFile;
  {
    std::lock_guard guard(l.lock);
    if (index < 0 || static_cast<std::size_t>(index) >= l.entries.size()) return std::nullopt;
    Entry& entry = l.entries[static_cast<std::size_t>(index)];
    if (entry.drawn[which]) return entry.drawn[which];
    if (entry.failed[which]) return std::nullopt;
    name = entry.name;
    largeFile = entry.largeFile;
  }
  // Drawing reads files: done outside the lock, so other threads go on.
  std::optional<IconPixels> pixels;
  if (const DesktopModule* module = DesktopModule::instance()) {
    std::string file = largeFile;
    if (small) {
      const auto found = module->lookupIcon({name}, kSmallIconSize);
      file = found ? found->file : std::string();
    }
    if (!file.empty()) pixels = module->render(file, sizeOf(small));
  }
  std::lock_guard guard(l.lock);
  Entry& entry = l.entries[static_cast<std::size_t>(index)];
  if (!entry.drawn[which]) {
    entry.drawn[which] = pixels;
    entry.failed[which] = !pixels;
  }
  return entry.drawn[which];
}

std::int32_t ImageList_GetImageCount(std::uint32_t imageList) {
  if (listIndex(imageList) < 0) return 0;
  List& l = list();
  std::lock_guard guard(l.lock);
  return static_cast<std::int32_t>(l.entries.size());
}

IconHandle ImageList_GetIcon(std::uint32_t imageList, std::int32_t index, std::uint32_t) {
  const int which = listIndex(imageList);
  if (which < 0) return 0;
  std::optional<IconPixels> pixels = SystemImageList::image(index, which == 1);
  return pixels ? CreateIconFromPixels(std::move(*pixels)) : 0;
}

}  // namespace tov::platform
