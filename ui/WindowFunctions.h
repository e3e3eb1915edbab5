#pragma once
// Support functions about windows, taking a window or its handle.
#include "ui/Geometry.h"

namespace tov::ui {

class Control;
class Form;

// Centres the window on the screen; false when the handle names no window.
bool asCenterFormEx(Form& form);
bool asCenterFormEx(Handle window);

// Selects the whole text of a text field; false for anything else.
bool asHighlightText(Control& field);
bool asHighlightText(Handle field);

// The control that has the focus in the active window, 0 when none.
Handle GetFocus();

}  // namespace tov::ui
