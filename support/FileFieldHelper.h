#pragma once
// Helps the user fill a file-name field: a file dropped on the field (or
// on its browse button) fills it, and the caret goes to the end of the
// name so its tail, the part people change, is in view.
#include "ui/Control.h"

namespace tov {

class FileFieldHelper {
 public:
  // Attaches to one field; the start button is the one the field feeds.
  void Attach(ui::Control& startButton, ui::Control& browseButton, ui::Control& field);

  // A file dropped on the field or its browse button.
  void fileDropped(const std::u16string& fullName);

  ui::Control* field() const { return field_; }

 private:
  ui::Control* startButton_ = nullptr;
  ui::Control* browseButton_ = nullptr;
  ui::Control* field_ = nullptr;
};

}  // namespace tov
