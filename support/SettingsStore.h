#pragma once
// The converter's settings: one INI file per application at
// ${XDG_CONFIG_HOME:-$HOME/.config}/TOVapps/<application name>.ini, UTF-8
// with LF line breaks, read and written by the platform's INI engine.
// Keys of section "" sit before the first section header; numbers are
// stored as decimal text.
//
// A file that cannot be read or parsed gives the defaults; a write never
// loses what is already in it (lines it cannot parse are kept byte for
// byte, and a file it cannot read is left alone and the write fails).
#include <cstdint>
#include <string>
#include <string_view>
#include <variant>

#include "support/AppInfo.h"

namespace tov {

using SettingValue = std::variant<std::monostate, std::int32_t, std::u16string>;

class SettingsStore {
 public:
  static constexpr int kKindText = 0;
  static constexpr int kKindNumber = 1;

  // kind 0: text, kind 1: number. Returns the stored value, or defaultValue
  // when none is stored. For kind 1 a stored decimal 32-bit integer comes
  // back as int32; a stored text that is not a number comes back as that
  // text, so the caller's conversion fails as it would on bad input.
  SettingValue GetValue(std::u16string_view section, std::u16string_view key, int kind, const AppInfo& app,
                        const SettingValue& defaultValue, bool unused1 = true, bool unused2 = false);

  // Stores the value (int32 as decimal text, text exactly as given, blanks
  // and quotes included); an empty value (monostate) removes the key. False
  // on failure, including text with a line break, which an INI line cannot
  // hold.
  bool SetValue(std::u16string_view section, std::u16string_view key, int kind, const SettingValue& value,
                const AppInfo& app, bool unused = true);

  // The settings file of the application (XDG_CONFIG_HOME counts only when
  // absolute, as the XDG rules say); empty when the application has no name
  // or the user no home.
  static std::string settingsFilePath(const AppInfo& app);
};

}  // namespace tov
