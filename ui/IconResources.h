#pragma once
// The program's icon groups, found by name as windows ask for them. A group
// is one picture drawn at several sizes; its images are installed as PNG
// files in the hicolor icon theme of the program's data directory,
// <data>/icons/hicolor/<N>x<N>/apps/<icon name>.png, where the desktop
// looks for them too.
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace tov::ui {

class IconResources {
 public:
  // Declares a group; names compare without regard to case. Declaring a
  // name again replaces the group.
  static void define(std::u16string_view group, std::string iconName, std::vector<int> sizes);

  // The image files of the group that are installed, in the order of its
  // sizes; empty when the group is unknown or none of its images is found.
  static std::vector<std::u16string> files(std::u16string_view group);

  // Where the images are looked for, first match wins: the program's data
  // directories unless set otherwise here (an empty list restores them).
  static void setDataDirectories(std::vector<std::filesystem::path> directories);
};

}  // namespace tov::ui
