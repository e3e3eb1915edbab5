#pragma once
// Hands out the ids of windows and controls and finds them again, so the
// support functions can take a handle as the platform's functions do.
#include "ui/Geometry.h"

namespace tov::ui {

class Control;
class Form;

class HandleTable {
 public:
  static Handle add(Form* form);
  static Handle add(Control* control);
  static void remove(Handle handle);
  // Null when the handle is unknown or names the other kind.
  static Form* form(Handle handle);
  static Control* control(Handle handle);
};

}  // namespace tov::ui
