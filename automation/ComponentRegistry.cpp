#include "automation/ComponentRegistry.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <system_error>

#include "platform/ProfileFile.h"
#include "platform/TrustedPath.h"
#include "platform/Utf.h"

namespace tov::automation {
namespace {

constexpr platform::ProfileFormat kRegistryFormat{platform::ProfileEncoding::Utf8, u"\n"};

std::u16string classSection(const Guid& clsid) { return u"CLSID\\" + clsid.toString(); }
std::u16string progIdSection(std::u16string_view progId) { return u"ProgID\\" + std::u16string(progId); }
std::u16string typeLibSection(const Guid& libid) { return u"TypeLib\\" + libid.toString(); }
std::u16string typeLibNameSection(std::u16string_view name) { return u"TypeLibName\\" + std::u16string(name); }
std::u16string interfaceSection(const Guid& iid) { return u"Interface\\" + iid.toString(); }

std::u16string joinList(const std::vector<std::u16string>& items) {
  std::u16string out;
  for (const auto& item : items) {
    if (!out.empty()) out += u",";
    out += item;
  }
  return out;
}

std::vector<std::u16string> splitList(std::u16string_view text) {
  std::vector<std::u16string> out;
  while (!text.empty()) {
    const std::size_t comma = text.find(u',');
    const std::u16string_view item = text.substr(0, comma);
    if (!item.empty()) out.emplace_back(item);
    if (comma == std::u16string_view::npos) break;
    text.remove_prefix(comma + 1);
  }
  return out;
}

// HOME when it is an absolute path, otherwise the password database's
// entry for the user (a service or `env -i` has no HOME).
std::string homeDirectory() {
  if (const char* home = std::getenv("HOME"); home && *home == '/') return home;
  const passwd* entry = ::getpwuid(::getuid());
  if (entry && entry->pw_dir && entry->pw_dir[0] == '/') return entry->pw_dir;
  return {};
}

}  // namespace

std::filesystem::path ComponentRegistry::defaultPath() {
  if (const char* explicitFile = std::getenv("TOVAPPS_REGISTRY"); explicitFile && *explicitFile) {
    return explicitFile;
  }
  if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && *xdg == '/') {
    return std::filesystem::path(xdg) / "TOVapps" / "registry.ini";
  }
  // Never a shared directory: a registry there would let another user
  // choose the libraries this process loads.
  const std::string home = homeDirectory();
  if (home.empty()) return {};
  return std::filesystem::path(home) / ".local" / "share" / "TOVapps" / "registry.ini";
}

ComponentRegistry::ComponentRegistry(std::filesystem::path file) : file_(std::move(file)) {}

std::string ComponentRegistry::nativePath() const { return file_.string(); }

std::string ComponentRegistry::trustProblem() const {
  if (file_.empty()) {
    return "there is no component registry: no home directory is known (set HOME, XDG_DATA_HOME or "
           "TOVAPPS_REGISTRY)";
  }
  std::string why = platform::whyUntrusted(nativePath());
  return why.empty() ? why : "the component registry " + nativePath() + " is not used: " + why;
}

bool ComponentRegistry::usable() const { return trustProblem().empty(); }

// Missing directories are made writable by their owner only, whatever the
// umask says: one writable by others would make the registry refused.
bool ComponentRegistry::ensureDirectory() const {
  if (!file_.has_parent_path()) return true;
  const std::filesystem::path parent = std::filesystem::absolute(file_).parent_path();
  std::filesystem::path made;
  for (const auto& part : parent) {
    made /= part;
    if (::mkdir(made.c_str(), 0755) != 0 && errno != EEXIST) return false;
  }
  return true;
}

// A registry file made under a lax umask would be refused on the next
// read; it is this user's own, so nobody else gets to write it.
bool ComponentRegistry::keepPrivate() const {
  struct stat st {};
  if (::stat(nativePath().c_str(), &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != ::geteuid()) return true;
  if ((st.st_mode & (S_IWGRP | S_IWOTH)) == 0) return true;
  return ::chmod(nativePath().c_str(), st.st_mode & 07755) == 0;
}

bool ComponentRegistry::set(std::u16string_view section, std::u16string_view key, std::u16string_view value) const {
  return usable() && ensureDirectory() &&
         platform::ProfileFile(nativePath(), kRegistryFormat).setValue(section, key, value) && keepPrivate();
}

bool ComponentRegistry::removeSection(std::u16string_view section) const {
  return usable() && platform::ProfileFile(nativePath(), kRegistryFormat).removeSection(section) && keepPrivate();
}

bool ComponentRegistry::writeClass(const ClassRecord& r) const {
  const std::u16string section = classSection(r.clsid);
  // The section is rewritten whole, so no key of an older registration stays.
  return removeSection(section) && set(section, u"Class", r.className) && set(section, u"ProgID", r.progId) &&
         set(section, u"InprocServer32", r.libraryPath) && set(section, u"ThreadingModel", r.threadingModel) &&
         set(section, u"TypeLib", r.typeLib.toString()) && set(section, u"Version", r.version) &&
         (!r.appObject || set(section, u"AppObject", u"1")) &&
         (r.progId.empty() || set(progIdSection(r.progId), u"CLSID", r.clsid.toString()));
}

bool ComponentRegistry::removeClass(const Guid& clsid, std::u16string_view progId) const {
  return removeSection(classSection(clsid)) && (progId.empty() || removeSection(progIdSection(progId)));
}

bool ComponentRegistry::writeTypeLibrary(const TypeLibraryRecord& r) const {
  const std::u16string section = typeLibSection(r.libid);
  return removeSection(section) && set(section, u"Name", r.name) && set(section, u"Version", r.version) &&
         set(section, u"LCID", r.lcid) && set(section, u"HelpString", r.help) && set(section, u"Path", r.path) &&
         set(section, u"AppObjects", joinList(r.appObjects)) &&
         set(typeLibNameSection(r.name), u"TypeLib", r.libid.toString());
}

bool ComponentRegistry::removeTypeLibrary(const Guid& libid, std::u16string_view name) const {
  return removeSection(typeLibSection(libid)) && removeSection(typeLibNameSection(name));
}

bool ComponentRegistry::writeInterface(const Guid& iid, std::u16string_view name, const Guid& libid,
                                       std::u16string_view version) const {
  const std::u16string section = interfaceSection(iid);
  return set(section, u"Name", name) && set(section, u"TypeLib", libid.toString()) &&
         set(section, u"Version", version);
}

bool ComponentRegistry::removeInterface(const Guid& iid) const { return removeSection(interfaceSection(iid)); }

std::optional<Guid> ComponentRegistry::clsidOf(std::u16string_view progId) const {
  if (!usable()) return std::nullopt;
  const auto text = platform::ProfileFile(nativePath(), kRegistryFormat).value(progIdSection(progId), u"CLSID");
  return text ? Guid::parse(*text) : std::nullopt;
}

std::optional<ClassRecord> ComponentRegistry::findClass(const Guid& clsid) const {
  if (!usable()) return std::nullopt;
  const platform::ProfileFile file(nativePath(), kRegistryFormat);
  const std::u16string section = classSection(clsid);
  const auto server = file.value(section, u"InprocServer32");
  if (!server) return std::nullopt;
  auto get = [&](std::u16string_view key) { return file.value(section, key).value_or(u""); };
  ClassRecord r;
  r.clsid = clsid;
  r.className = get(u"Class");
  r.progId = get(u"ProgID");
  r.libraryPath = *server;
  r.threadingModel = get(u"ThreadingModel");
  r.typeLib = Guid::parse(get(u"TypeLib")).value_or(kNullGuid);
  r.version = get(u"Version");
  r.appObject = get(u"AppObject") == u"1";
  return r;
}

std::optional<TypeLibraryRecord> ComponentRegistry::findTypeLibrary(std::u16string_view libraryName) const {
  if (!usable()) return std::nullopt;
  const platform::ProfileFile file(nativePath(), kRegistryFormat);
  const auto libid = Guid::parse(file.value(typeLibNameSection(libraryName), u"TypeLib").value_or(u""));
  if (!libid) return std::nullopt;
  const std::u16string section = typeLibSection(*libid);
  auto get = [&](std::u16string_view key) { return file.value(section, key).value_or(u""); };
  TypeLibraryRecord r;
  r.libid = *libid;
  r.name = get(u"Name");
  if (r.name.empty()) return std::nullopt;
  r.version = get(u"Version");
  r.lcid = get(u"LCID");
  r.help = get(u"HelpString");
  r.path = get(u"Path");
  r.appObjects = splitList(get(u"AppObjects"));
  return r;
}

}  // namespace tov::automation
