#include "support/SettingsStore.h"

#include <cstdint>
#include <cstdlib>
#include <optional>

#include "platform/IniDocument.h"
#include "platform/ProfileFile.h"
#include "platform/Utf.h"
#include "support/SettingsLocation.h"

namespace tov {
namespace {

constexpr platform::ProfileFormat kSettingsFormat{platform::ProfileEncoding::Utf8, u"\n"};

// The application name as one path component: separators would put the
// file somewhere else.
std::string fileNameFor(std::u16string_view appName) {
  std::string name = platform::toUtf8(appName);
  for (char& c : name) {
    if (c == '/' || c == '\\' || c == '\0') c = '_';
  }
  return name;
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
  const std::string folder = settingsHome();
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
  if (path.empty() || !ensureSettingsFolder(path.substr(0, path.rfind('/')))) return false;
  platform::ProfileFile file(path, kSettingsFormat);
  if (std::holds_alternative<std::monostate>(value)) return file.removeKey(section, key);
  return file.setValue(section, key, platform::IniDocument::exactValueText(textOf(value)));
}

}  // namespace tov
