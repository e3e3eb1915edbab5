#pragma once
// Helps the user fill a file-name field: a file dropped on the field or on
// its browse button fills it, with the caret at the end of the name so its
// tail, the part people change, is in view; and while the user types, the
// names of existing files are offered to complete the path.
//
// The helper handles the FilesDropped events of the two controls it is
// attached to (for as long as it is attached) and must not outlive their
// window.
#include "ui/Control.h"
#include "ui/EventArgs.h"

namespace tov {

class FileFieldHelper {
 public:
  FileFieldHelper() = default;
  ~FileFieldHelper();
  FileFieldHelper(const FileFieldHelper&) = delete;
  FileFieldHelper& operator=(const FileFieldHelper&) = delete;

  // Attaches to one field; the start button is the one the field feeds.
  // Attaching again first lets go of the controls attached before.
  void Attach(ui::Control& startButton, ui::Control& browseButton, ui::Control& field);
  void Detach();

  ui::Control* field() const { return field_; }

 private:
  void filesDropped(const ui::EventArgs& args);

  ui::Control* startButton_ = nullptr;
  ui::Control* browseButton_ = nullptr;
  ui::Control* field_ = nullptr;
};

}  // namespace tov
