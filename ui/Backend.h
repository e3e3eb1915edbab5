#pragma once
// What draws the windows: the forms model tells its backend about every
// change, and the backend feeds the user's actions back through the model's
// own methods (Control::click, Form::pressKey, ...), so all window logic
// stays in the model. One backend serves the whole program.
#include <functional>
#include <memory>

#include "ui/AboutBoxRequest.h"
#include "ui/Control.h"
#include "ui/Form.h"
#include "ui/Geometry.h"
#include "ui/MessageBoxRequest.h"

namespace tov::ui {

class Backend {
 public:
  virtual ~Backend() = default;

  virtual void showForm(Form& form) = 0;
  virtual void hideForm(Form& form) = 0;
  // The window is unloaded or destroyed: its window goes.
  virtual void dropForm(Form& form) = 0;
  // Returns once the form is no longer shown.
  virtual void runModal(Form& form) = 0;
  virtual void formChanged(Form& form, FormProperty property) = 0;
  virtual void controlChanged(Control& control, ControlProperty property) = 0;
  virtual void focusChanged(Form& form, Control* control) = 0;
  // Returns the id of the button chosen (1 OK, 2 Cancel, 6 Yes, 7 No, ...).
  virtual int messageBox(const MessageBoxRequest& request) = 0;
  // A modal about box; without a dialog of its own a backend shows the
  // contents as a message box.
  virtual void aboutBox(const AboutBoxRequest& request);
  // Returns when no window is shown any more.
  virtual void runEventLoop() = 0;
  // The screen's work area in twips.
  virtual Size screenSize() const = 0;
  // Busy on (true) and off again (false), nested: the wait cursor.
  virtual void setBusy(bool busy);
  // Runs long work (see ui/BusyWork.h); here simply on this thread.
  virtual void runBusy(const std::function<void()>& work);

  // The backend in use; a headless one until another is installed.
  static Backend& current();
  // Installs a backend and returns the one it replaces.
  static std::unique_ptr<Backend> install(std::unique_ptr<Backend> backend);
};

// Runs the program's message loop until the last shown window is gone.
void runEventLoop();

}  // namespace tov::ui
