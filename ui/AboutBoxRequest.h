#pragma once
// One about box as the program asks for it: who the program is, its
// version, and the texts to show under them.
#include <string>
#include <vector>

#include "ui/Geometry.h"
#include "ui/MessageBoxRequest.h"

namespace tov::ui {

struct AboutBoxRequest {
  Handle owner = 0;                  // the window the box belongs to, 0 for none
  std::u16string title;              // the program's title
  std::u16string version;            // as the program writes it, "1.01.0004"
  std::u16string extraText;          // may be empty
  std::u16string dedication;         // may be empty
  std::vector<std::u16string> icon;  // image files of the program's icon; none shows no picture

  // "About " and the title.
  std::u16string windowTitle() const;
  // The same contents as a message box with the information icon, for a
  // backend without an about box of its own (the terminal).
  MessageBoxRequest asMessageBox() const;
};

}  // namespace tov::ui
