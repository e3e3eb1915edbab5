#include "automation/RegistrySearch.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>

#include "platform/XdgDataDirectories.h"

namespace tov::automation {
namespace {

// Only an existing entry has anything to say; a file that cannot be
// examined for another reason is left to the trust check to explain.
bool absent(const std::filesystem::path& file) {
  struct stat st {};
  return ::stat(file.c_str(), &st) != 0 && (errno == ENOENT || errno == ENOTDIR);
}

}  // namespace

RegistrySearch::RegistrySearch(std::vector<std::filesystem::path> files) {
  for (auto& file : files) {
    if (!file.empty() && std::find(files_.begin(), files_.end(), file) == files_.end()) {
      files_.push_back(std::move(file));
    }
  }
}

RegistrySearch RegistrySearch::standard() {
  if (const char* named = std::getenv("TOVAPPS_REGISTRY"); named && *named) return RegistrySearch({named});
  std::vector<std::filesystem::path> files{ComponentRegistry::defaultPath()};
  for (auto& file : systemFiles()) files.push_back(std::move(file));
  return RegistrySearch(std::move(files));
}

std::filesystem::path RegistrySearch::systemFileIn(const std::filesystem::path& dataDirectory) {
  return dataDirectory / "TOVapps" / "registry.ini";
}

std::vector<std::filesystem::path> RegistrySearch::systemFiles() {
  std::vector<std::filesystem::path> files;
  for (const auto& dir : platform::xdgDataDirs()) files.push_back(systemFileIn(dir));
  return files;
}

template <typename T, typename Lookup>
RegistryAnswer<T> RegistrySearch::search(Lookup lookup) const {
  for (const auto& file : files_) {
    if (absent(file)) continue;
    const ComponentRegistry registry(file);
    if (std::string why = registry.trustProblem(); !why.empty()) return {std::nullopt, file, std::move(why)};
    if (std::optional<T> found = lookup(registry)) return {std::move(found), file, {}};
  }
  return {};
}

RegistryAnswer<Guid> RegistrySearch::clsidOf(std::u16string_view progId) const {
  return search<Guid>([&](const ComponentRegistry& r) { return r.clsidOf(progId); });
}

RegistryAnswer<ClassRecord> RegistrySearch::findClass(const Guid& clsid) const {
  return search<ClassRecord>([&](const ComponentRegistry& r) { return r.findClass(clsid); });
}

RegistryAnswer<TypeLibraryRecord> RegistrySearch::findTypeLibrary(std::u16string_view libraryName) const {
  return search<TypeLibraryRecord>([&](const ComponentRegistry& r) { return r.findTypeLibrary(libraryName); });
}

std::string RegistrySearch::describe() const {
  if (files_.empty()) {
    return "nowhere: there is no component registry (no home directory is known; set HOME, XDG_DATA_HOME or "
           "TOVAPPS_REGISTRY)";
  }
  std::string text = "in ";
  for (std::size_t i = 0; i < files_.size(); ++i) {
    if (i > 0) text += i + 1 == files_.size() ? " or " : ", ";
    text += files_[i].string();
  }
  return text;
}

}  // namespace tov::automation
