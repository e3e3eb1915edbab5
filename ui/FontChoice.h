#pragma once
// Picks the installed font family that stands in for the one a window asks
// for. The windows' texts include Russian, so a stand-in must have Cyrillic.
#include <string>
#include <string_view>
#include <vector>

namespace tov::ui {

struct FontFamilyInfo {
  std::string family;
  bool cyrillic = false;
  bool fixedPitch = false;
};

// The requested family when it is installed with Cyrillic; else the first
// installed of the common sans families with Cyrillic; else any proportional
// family with Cyrillic; else "" (leave it to the toolkit's default).
std::string chooseFontFamily(std::string_view requested, const std::vector<FontFamilyInfo>& installed);

}  // namespace tov::ui
