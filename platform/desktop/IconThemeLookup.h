#pragma once
// Finding an icon's file in the installed icon themes, by the lookup rules
// desktops share: the user's theme (TOVAPPS_ICON_THEME, else Adwaita), the
// themes it inherits, then hicolor, then the unthemed icon directories. A
// theme lives in <base>/icons/<name> or ~/.icons/<name> for every XDG data
// directory base, described by its index.theme.
//
// The environment is read on every lookup; what was found stays cached for
// as long as the theme name and the directories stay the same.
#include <optional>
#include <string>
#include <vector>

namespace tov::desktop {

struct FoundIcon {
  std::string file;
  std::size_t nameIndex = 0;  // which of the names asked for was found
};

// Themes are tried in turn, and within each theme the names in their order,
// so a generic icon of the user's theme wins over a specific one of hicolor.
std::optional<FoundIcon> lookupThemeIcon(const std::vector<std::string>& names, int size);

}  // namespace tov::desktop
