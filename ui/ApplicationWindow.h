#pragma once
// The application's hidden top-level window. It is never shown; it stands
// for the program as a whole, so what is set on it (the icon) applies to
// the application: the backend shows its icon for windows without one of
// their own and wherever the desktop shows the running program.
#include "ui/Form.h"

namespace tov::ui {

class ApplicationWindow : public Form {
 public:
  // The one instance, made on first use and alive until the process ends.
  static ApplicationWindow& instance();

  bool isApplicationWindow() const override { return true; }

 private:
  ApplicationWindow() : Form("ApplicationWindow") {}
};

}  // namespace tov::ui
