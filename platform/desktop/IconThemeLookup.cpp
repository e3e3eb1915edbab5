#include "platform/desktop/IconThemeLookup.h"

#include <dirent.h>
#include <glib.h>
#include <pwd.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <set>
#include <unordered_map>
#include <unordered_set>

namespace tov::desktop {
namespace {

constexpr const char* kDefaultTheme = "Adwaita";
constexpr const char* kFallbackTheme = "hicolor";
constexpr const char* kExtensions[] = {".png", ".svg", ".xpm"};
// A theme inheriting more than this is broken; the chain stops there.
constexpr std::size_t kMaxThemes = 32;
// Directory listings and answers kept; beyond this they are read again.
constexpr std::size_t kMaxListings = 4096;
constexpr std::size_t kMaxAnswers = 4096;

enum class DirType { Fixed, Scalable, Threshold };

struct ThemeDirectory {
  std::string subdir;
  int size = 0;
  int minSize = 0;
  int maxSize = 0;
  int threshold = 2;
  DirType type = DirType::Threshold;

  bool matches(int wanted) const {
    switch (type) {
      case DirType::Fixed: return size == wanted;
      case DirType::Scalable: return minSize <= wanted && wanted <= maxSize;
      case DirType::Threshold: return size - threshold <= wanted && wanted <= size + threshold;
    }
    return false;
  }
  int distance(int wanted) const {
    int low = size, high = size;
    if (type == DirType::Scalable) low = minSize, high = maxSize;
    if (type == DirType::Threshold) low = size - threshold, high = size + threshold;
    if (type == DirType::Fixed) return std::abs(size - wanted);
    if (wanted < low) return low - wanted;
    if (wanted > high) return wanted - high;
    return 0;
  }
};

struct Theme {
  std::string name;
  std::vector<std::string> roots;  // <base>/<name> for every base that has it
  std::vector<ThemeDirectory> directories;
  std::vector<std::string> inherits;
};

std::string homeDirectory() {
  if (const char* home = std::getenv("HOME"); home && *home) return home;
  if (const passwd* pw = getpwuid(getuid()); pw && pw->pw_dir) return pw->pw_dir;
  return {};
}

std::vector<std::string> splitList(const std::string& text, char separator) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  while (start <= text.size()) {
    const std::size_t end = std::min(text.find(separator, start), text.size());
    if (end > start) parts.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return parts;
}

// The directories icon themes live in, most personal first.
std::vector<std::string> baseDirectories() {
  std::vector<std::string> bases;
  const std::string home = homeDirectory();
  if (!home.empty()) bases.push_back(home + "/.icons");
  const char* dataHome = std::getenv("XDG_DATA_HOME");
  if (dataHome && *dataHome == '/') bases.push_back(std::string(dataHome) + "/icons");
  else if (!home.empty()) bases.push_back(home + "/.local/share/icons");
  const char* dataDirs = std::getenv("XDG_DATA_DIRS");
  const std::string dirs = dataDirs && *dataDirs ? dataDirs : "/usr/local/share:/usr/share";
  for (const std::string& dir : splitList(dirs, ':')) {
    if (dir.front() == '/') bases.push_back(dir + "/icons");
  }
  bases.push_back("/usr/share/pixmaps");
  return bases;
}

std::string themeName() {
  const char* name = std::getenv("TOVAPPS_ICON_THEME");
  // A name is one directory, never a path.
  if (name && *name && std::string_view(name).find('/') == std::string_view::npos && std::string_view(name) != "." &&
      std::string_view(name) != "..") {
    return name;
  }
  return kDefaultTheme;
}

int keyInt(GKeyFile* file, const char* group, const char* key, int fallback) {
  GError* error = nullptr;
  const int value = g_key_file_get_integer(file, group, key, &error);
  if (error) {
    g_error_free(error);
    return fallback;
  }
  return value;
}

std::string keyString(GKeyFile* file, const char* group, const char* key) {
  gchar* value = g_key_file_get_string(file, group, key, nullptr);
  std::string text = value ? value : "";
  g_free(value);
  return text;
}

std::optional<ThemeDirectory> readDirectory(GKeyFile* file, const std::string& subdir) {
  const char* group = subdir.c_str();
  if (!g_key_file_has_group(file, group)) return std::nullopt;
  // Icons drawn for high-density screens are not what a plain icon asks for.
  if (keyInt(file, group, "Scale", 1) != 1) return std::nullopt;
  ThemeDirectory dir;
  dir.subdir = subdir;
  dir.size = keyInt(file, group, "Size", 0);
  if (dir.size <= 0) return std::nullopt;
  dir.minSize = keyInt(file, group, "MinSize", dir.size);
  dir.maxSize = keyInt(file, group, "MaxSize", dir.size);
  dir.threshold = keyInt(file, group, "Threshold", 2);
  const std::string type = keyString(file, group, "Type");
  dir.type = type == "Fixed" ? DirType::Fixed : type == "Scalable" ? DirType::Scalable : DirType::Threshold;
  return dir;
}

// The theme as its first index.theme describes it; nothing when no base
// directory holds one.
std::optional<Theme> loadTheme(const std::string& name, const std::vector<std::string>& bases) {
  Theme theme;
  theme.name = name;
  std::string index;
  for (const std::string& base : bases) {
    const std::string root = base + "/" + name;
    if (g_file_test(root.c_str(), G_FILE_TEST_IS_DIR)) theme.roots.push_back(root);
    const std::string candidate = root + "/index.theme";
    if (index.empty() && g_file_test(candidate.c_str(), G_FILE_TEST_IS_REGULAR)) index = candidate;
  }
  if (index.empty()) return std::nullopt;
  std::unique_ptr<GKeyFile, decltype(&g_key_file_free)> file(g_key_file_new(), g_key_file_free);
  if (!g_key_file_load_from_file(file.get(), index.c_str(), G_KEY_FILE_NONE, nullptr)) return std::nullopt;
  const char* group = "Icon Theme";
  for (const std::string& subdir : splitList(keyString(file.get(), group, "Directories"), ',')) {
    // A theme's directories lie inside it.
    if (subdir.front() == '/' || subdir == ".." || subdir.starts_with("../") || subdir.find("/../") != std::string::npos ||
        subdir.ends_with("/..")) {
      continue;
    }
    if (auto dir = readDirectory(file.get(), subdir)) theme.directories.push_back(std::move(*dir));
  }
  theme.inherits = splitList(keyString(file.get(), group, "Inherits"), ',');
  return theme;
}

class ThemeLookup {
 public:
  ThemeLookup(std::string themeName, std::vector<std::string> bases) : bases_(std::move(bases)) {
    std::set<std::string> seen;
    addChain(themeName, seen);
    if (!seen.contains(kFallbackTheme)) addChain(kFallbackTheme, seen);
  }

  // A listing asks for the same few kinds of icon over and over: each
  // question is answered from the themes once.
  std::optional<FoundIcon> find(const std::vector<std::string>& names, int size) {
    std::string key = std::to_string(size);
    for (const std::string& name : names) key += "\n" + name;
    if (auto it = answers_.find(key); it != answers_.end()) return it->second;
    if (answers_.size() >= kMaxAnswers) answers_.clear();
    std::optional<FoundIcon> found = search(names, size);
    answers_.emplace(std::move(key), found);
    return found;
  }

 private:
  std::optional<FoundIcon> search(const std::vector<std::string>& names, int size) {
    for (const Theme& theme : themes_) {
      for (std::size_t i = 0; i < names.size(); ++i) {
        if (auto file = lookup(theme, names[i], size)) return FoundIcon{std::move(*file), i};
      }
    }
    // Icons installed without a theme, straight in a base directory.
    for (std::size_t i = 0; i < names.size(); ++i) {
      for (const std::string& base : bases_) {
        if (auto file = inDirectory(base, names[i])) return FoundIcon{std::move(*file), i};
      }
    }
    return std::nullopt;
  }

  void addChain(const std::string& name, std::set<std::string>& seen) {
    if (themes_.size() >= kMaxThemes || !seen.insert(name).second) return;
    std::optional<Theme> theme = loadTheme(name, bases_);
    if (!theme) return;
    const std::vector<std::string> parents = theme->inherits;
    themes_.push_back(std::move(*theme));
    for (const std::string& parent : parents) addChain(parent, seen);
  }

  std::optional<std::string> lookup(const Theme& theme, const std::string& name, int size) {
    for (const ThemeDirectory& dir : theme.directories) {
      if (!dir.matches(size)) continue;
      for (const std::string& root : theme.roots) {
        if (auto file = inDirectory(root + "/" + dir.subdir, name)) return file;
      }
    }
    std::optional<std::string> closest;
    int closestDistance = INT_MAX;
    for (const ThemeDirectory& dir : theme.directories) {
      const int distance = dir.distance(size);
      if (distance >= closestDistance) continue;
      for (const std::string& root : theme.roots) {
        if (auto file = inDirectory(root + "/" + dir.subdir, name)) {
          closest = std::move(file);
          closestDistance = distance;
          break;
        }
      }
    }
    return closest;
  }

  std::optional<std::string> inDirectory(const std::string& directory, const std::string& name) {
    if (name.empty() || name.find('/') != std::string::npos) return std::nullopt;  // a name, never a path
    const std::unordered_set<std::string>& entries = listing(directory);
    for (const char* extension : kExtensions) {
      const std::string file = name + extension;
      if (entries.contains(file)) return directory + "/" + file;
    }
    return std::nullopt;
  }

  // A theme has hundreds of directories, most of them absent or holding no
  // icon of the name asked for: each is read once, not probed per name.
  const std::unordered_set<std::string>& listing(const std::string& directory) {
    auto it = listings_.find(directory);
    if (it != listings_.end()) return it->second;
    if (listings_.size() >= kMaxListings) listings_.clear();
    std::unordered_set<std::string>& entries = listings_[directory];
    if (DIR* dir = opendir(directory.c_str())) {
      while (const dirent* entry = readdir(dir)) entries.insert(entry->d_name);
      closedir(dir);
    }
    return entries;
  }

  std::vector<std::string> bases_;
  std::vector<Theme> themes_;
  std::unordered_map<std::string, std::unordered_set<std::string>> listings_;
  std::unordered_map<std::string, std::optional<FoundIcon>> answers_;
};

std::mutex g_lock;
std::string g_lookupKey;
std::unique_ptr<ThemeLookup> g_lookup;

}  // namespace

std::optional<FoundIcon> lookupThemeIcon(const std::vector<std::string>& names, int size) {
  if (names.empty() || size <= 0) return std::nullopt;
  const std::string theme = themeName();
  const std::vector<std::string> bases = baseDirectories();
  std::string key = theme;
  for (const std::string& base : bases) key += "\n" + base;
  std::lock_guard lock(g_lock);
  if (!g_lookup || key != g_lookupKey) {
    g_lookup = std::make_unique<ThemeLookup>(theme, bases);
    g_lookupKey = std::move(key);
  }
  return g_lookup->find(names, size);
}

}  // namespace tov::desktop
