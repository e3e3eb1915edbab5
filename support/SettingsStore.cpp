#include "support/SettingsStore.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <optional>

#include "platform/IniDocument.h"
#include "platform/ProfileFile.h"
#include "platform/Utf.h"

namespace tov {
namespace {

constexpr platform::ProfileFormat kSettingsFormat{platform::ProfileEncoding::Utf8, u"\n"};

std::string homeDirectory() {
  const char* home = std::getenv("HOME");
  if (home && *home) return home;
  const passwd* entry = ::getpwuid(::getuid());
  return entry && entry->pw_dir ? entry->pw_dir : "";
}

// XDG_CONFIG_HOME counts only when set to an absolute path. Empty when
// there is no home either: settings then go nowhere rather than to "/".
std::string configHome() {
  const char* xdg = std::getenv("XDG_CONFIG_HOME");
  if (xdg && xdg[0] == '/') return xdg;
  const std::string home = homeDirectory();
  return home.empty() ? home : home + "/.config";
}

// The application name as one path component: separators would put the
// file somewhere else.
std::string fileNameFor(std::u16string_view appName) {
  std::string name = platform::toUtf8(appName);
  for (char& c : name) {
    if (c == '/' || c == '\\' || c == '\0') c = '_';
  }
  return name;
}

// Creates the folder and any missing parents, private to the user.
bool ensureDirectory(const std::string& dir) {
  for (std::size_t slash = dir.find('/', 1);; slash = dir.find('/', slash + 1)) {
    const std::string part = dir.substr(0, slash);
    if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) return false;
    if (slash == std::string::npos) break;
  }
  struct stat st {};
  return ::stat(dir.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// The whole text as a decimal number: "12abc", " 12" and "0x1F" are texts.
std::optional<std::int32_t> parseInt32(std::u16string_view text) {
  const bool negative = !text.empty() && text.front() == u'-';
  if (!text.empty() && (text.front() == u'-' || text.front() == u'+')) text.remove_prefix(1);
  if (text.empty()) return std::nullopt;
  constexpr std::int64_t kLimit = std::int64_t{INT32_MAX} + 1;
  std::int64_t magnitude = 0;
  for (char16_t c : text) {
    if (c < u'0' || c > u'9') return std::nullopt;
    magnitude = magnitude * 10 + (c - u'0');
    if (magnitude > kLimit) return std::nullopt;
  }
  if (!negative && magnitude == kLimit) return std::nullopt;
  return static_cast<std::int32_t>(negative ? -magnitude : magnitude);
}

std::u16string textOf(const SettingValue& value) {
  if (const auto* number = std::get_if<std::int32_t>(&value)) return platform::fromUtf8(std::to_string(*number));
  return std::get<std::u16string>(value);
}

}  // namespace

std::string SettingsStore::settingsFilePath(const AppInfo& app) {
  const std::string folder = configHome();
  if (app.name.empty() || folder.empty()) return {};
  return folder + "/TOVapps/" + fileNameFor(app.name) + ".ini";
}

SettingValue SettingsStore::GetValue(std::u16string_view section, std::u16string_view key, int kind,
                                     const AppInfo& app, const SettingValue& defaultValue, bool, bool) {
  const std::string path = settingsFilePath(app);
  if (path.empty()) return defaultValue;
  std::optional<std::u16string> stored = platform::ProfileFile(path, kSettingsFormat).value(section, key);
  if (!stored) return defaultValue;
  if (kind == kKindNumber) {
    if (const std::optional<std::int32_t> number = parseInt32(*stored)) return *number;
  }
  return std::move(*stored);
}

bool SettingsStore::SetValue(std::u16string_view section, std::u16string_view key, int, const SettingValue& value,
                             const AppInfo& app, bool) {
  const std::string path = settingsFilePath(app);
  if (path.empty() || !ensureDirectory(path.substr(0, path.rfind('/')))) return false;
  platform::ProfileFile file(path, kSettingsFormat);
  if (std::holds_alternative<std::monostate>(value)) return file.removeKey(section, key);
  return file.setValue(section, key, platform::IniDocument::exactValueText(textOf(value)));
}

}  // namespace tov
