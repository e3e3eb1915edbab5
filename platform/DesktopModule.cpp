#include "platform/DesktopModule.h"

#include <dlfcn.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string_view>

#include "platform/ProgramLocation.h"
#include "platform/TrustedPath.h"
#include "platform/desktop/DesktopModuleAbi.h"

#ifndef TOV_DESKTOP_MODULE_FILE
#define TOV_DESKTOP_MODULE_FILE "libtovdesktop-gio.so"
#endif

namespace tov::platform {
namespace {

const TovDesktopApi* api(const void* p) { return static_cast<const TovDesktopApi*>(p); }

// The library or program this code was linked into: a component library
// loaded by some other program keeps its modules beside itself.
std::filesystem::path containingObjectDirectory() {
  Dl_info info{};
  if (dladdr(reinterpret_cast<void*>(&containingObjectDirectory), &info) == 0 || !info.dli_fname) return {};
  std::error_code ec;
  std::filesystem::path object = std::filesystem::canonical(info.dli_fname, ec);
  return ec ? std::filesystem::path() : object.parent_path();
}

std::vector<std::filesystem::path> candidates() {
  const char* named = std::getenv("TOVAPPS_DESKTOP_MODULE");
  if (named && *named) return {std::filesystem::path(named)};
  std::vector<std::filesystem::path> files;
  if (std::filesystem::path dir = containingObjectDirectory(); !dir.empty()) {
    files.push_back(dir / "tovapps" / TOV_DESKTOP_MODULE_FILE);
  }
  for (const std::filesystem::path& dir : programModuleDirectories()) {
    std::filesystem::path file = dir / TOV_DESKTOP_MODULE_FILE;
    if (std::find(files.begin(), files.end(), file) == files.end()) files.push_back(std::move(file));
  }
  return files;
}

struct Loaded {
  std::unique_ptr<DesktopModule> module;
  std::string problem;
};

Loaded load() {
  Loaded result;
  const std::vector<std::filesystem::path> files = candidates();
  for (const std::filesystem::path& file : files) {
    std::error_code ec;
    if (!std::filesystem::exists(file, ec)) continue;
    if (!std::filesystem::is_regular_file(file, ec)) {
      result.problem = file.string() + " is not a module file";
      return result;
    }
    // Whoever could replace the module could run code in every program
    // that asks for a file's icon.
    if (std::string why = whyUntrusted(file.string()); !why.empty()) {
      result.problem = why;
      return result;
    }
    // GLib keeps threads and type registrations that must outlive any
    // unloading, so the module stays for the rest of the run.
    void* handle = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
    if (!handle) {
      const char* why = dlerror();
      result.problem = why ? why : file.string() + ": cannot be loaded";
      return result;
    }
    auto entry = reinterpret_cast<TovDesktopApiEntry>(dlsym(handle, "tovdesktop_api"));
    const TovDesktopApi* table = entry ? entry() : nullptr;
    if (!table || table->abiVersion != TOV_DESKTOP_ABI_VERSION || table->structSize != sizeof(TovDesktopApi)) {
      result.problem = file.string() + " belongs to another build (no matching tovdesktop_api)";
      return result;
    }
    result.module = std::make_unique<DesktopModule>(table);
    return result;
  }
  result.problem = files.empty() ? std::string("the desktop module's location is unknown")
                                 : files.front().string() + " not found";
  return result;
}

const Loaded& loaded() {
  static const Loaded once = load();
  return once;
}

// A name is one line; anything else could smuggle in a second name.
bool usableName(const std::string& name) {
  return !name.empty() && name.find('\n') == std::string::npos && name.find('\0') == std::string::npos;
}

std::string joinLines(const std::vector<std::string>& names) {
  std::string text;
  for (const std::string& name : names) {
    if (!usableName(name)) continue;
    text += name;
    text += '\n';
  }
  return text;
}

}  // namespace

const DesktopModule* DesktopModule::instance() { return loaded().module.get(); }

std::string DesktopModule::problem() { return loaded().problem; }

std::optional<DesktopItem> DesktopModule::describe(const std::string& nativePath, int& error) const {
  TovDesktopItem raw{};
  error = api(api_)->describeItem(nativePath.c_str(), &raw);
  if (error != 0) return std::nullopt;
  DesktopItem item;
  item.contentType = raw.contentType ? raw.contentType : "";
  item.description = raw.description ? raw.description : "";
  item.displayName = raw.displayName ? raw.displayName : "";
  std::string_view names = raw.iconNames ? raw.iconNames : "";
  while (!names.empty()) {
    const std::size_t end = std::min(names.find('\n'), names.size());
    if (end > 0) item.iconNames.emplace_back(names.substr(0, end));
    names.remove_prefix(std::min(end + 1, names.size()));
  }
  api(api_)->freeItem(&raw);
  return item;
}

std::optional<DesktopIcon> DesktopModule::lookupIcon(const std::vector<std::string>& names, int size) const {
  const std::string text = joinLines(names);
  if (text.empty()) return std::nullopt;
  int matched = -1;
  char* file = api(api_)->lookupIcon(text.c_str(), size, &matched);
  if (!file) return std::nullopt;
  DesktopIcon icon{file, 0};
  api(api_)->freeText(file);
  // The index counts the names sent, which skipped the unusable ones.
  int seen = -1;
  for (std::size_t i = 0; i < names.size(); ++i) {
    if (usableName(names[i]) && ++seen == matched) {
      icon.nameIndex = i;
      return icon;
    }
  }
  return std::nullopt;
}

std::optional<IconPixels> DesktopModule::render(const std::string& file, int size) const {
  if (size <= 0 || size > 1024) return std::nullopt;
  IconPixels icon;
  icon.width = icon.height = size;
  icon.rgba.resize(static_cast<std::size_t>(size) * size * 4);
  if (api(api_)->renderIcon(file.c_str(), size, icon.rgba.data()) != 0) return std::nullopt;
  return icon;
}

}  // namespace tov::platform
