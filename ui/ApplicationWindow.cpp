#include "ui/ApplicationWindow.h"

namespace tov::ui {

ApplicationWindow& ApplicationWindow::instance() {
  // Never destroyed: windows and handles may still be asked about it while
  // other static objects go at exit.
  static ApplicationWindow* const window = new ApplicationWindow;
  return *window;
}

}  // namespace tov::ui
