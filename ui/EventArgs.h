#pragma once
// What a window event hands its handler.
#include <string>
#include <vector>

namespace tov::ui {

class Control;

struct EventArgs {
  Control* source = nullptr;  // the control that raised it; null for Form_ events
  int index = -1;             // the source's index in its control array, -1 when none
  int keyCode = 0;            // KeyDown: a handler sets it to 0 to swallow the key
  int shift = 0;              // KeyDown: Shift 1, Ctrl 2, Alt 4
  // FilesDropped: the full names of the files dropped, in the order given.
  const std::vector<std::u16string>* files = nullptr;
};

}  // namespace tov::ui
