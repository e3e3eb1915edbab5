#pragma once
// The changeable properties of one control. A window keeps a copy of each
// control's state as declared, and returns to it when it is unloaded, so a
// window loaded again starts as it was designed.
#include <string>
#include <vector>

#include "ui/Geometry.h"

namespace tov::ui {

struct ControlState {
  std::u16string caption;
  std::u16string tag;
  std::u16string text;
  bool enabled = true;
  bool visible = true;
  Rect position;
  int tabIndex = 0;
  std::vector<std::u16string> items;
  int listIndex = -1;
  int selStart = 0;
  int selLength = 0;
  // Text fields: the backend offers the names of existing files while the
  // user types.
  bool fileNameCompletion = false;
};

}  // namespace tov::ui
