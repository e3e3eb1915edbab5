#include "ui/IconResources.h"

#include <algorithm>
#include <map>
#include <system_error>

#include "platform/Path.h"
#include "platform/ProgramLocation.h"

namespace tov::ui {
namespace {

struct Group {
  std::string iconName;
  std::vector<int> sizes;
};

// Resource names are plain ASCII; they match whatever their case.
std::u16string folded(std::u16string_view name) {
  std::u16string key(name);
  std::transform(key.begin(), key.end(), key.begin(),
                 [](char16_t c) { return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - 32) : c; });
  return key;
}

struct Registry {
  std::map<std::u16string, Group> groups;
  std::vector<std::filesystem::path> directories;
};

Registry& registry() {
  static Registry r;
  return r;
}

std::filesystem::path imageFile(const std::filesystem::path& data, const Group& group, int size) {
  const std::string dim = std::to_string(size) + "x" + std::to_string(size);
  return data / "icons" / "hicolor" / dim / "apps" / (group.iconName + ".png");
}

}  // namespace

void IconResources::define(std::u16string_view group, std::string iconName, std::vector<int> sizes) {
  registry().groups[folded(group)] = Group{std::move(iconName), std::move(sizes)};
}

std::vector<std::u16string> IconResources::files(std::u16string_view group) {
  std::vector<std::u16string> found;
  const auto it = registry().groups.find(folded(group));
  if (it == registry().groups.end()) return found;
  const std::vector<std::filesystem::path> dirs =
      registry().directories.empty() ? platform::programDataDirectories() : registry().directories;
  for (int size : it->second.sizes) {
    for (const std::filesystem::path& dir : dirs) {
      const std::filesystem::path file = imageFile(dir, it->second, size);
      std::error_code ec;
      if (!std::filesystem::is_regular_file(file, ec)) continue;
      found.push_back(platform::fromNativePath(file.string()));
      break;
    }
  }
  return found;
}

void IconResources::setDataDirectories(std::vector<std::filesystem::path> directories) {
  registry().directories = std::move(directories);
}

}  // namespace tov::ui
