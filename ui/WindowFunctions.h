#pragma once
// Support functions about windows, taking a window or its handle.
#include <string_view>

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

// Gives the window the icon group of that name from the program's
// resources (IconResources), every size of it. False when the handle names
// no window or none of the group's images is installed: the window keeps
// the icon it had, as a missing picture must not keep a window from opening.
bool asSetWindowResIconAll(Form& form, std::u16string_view group);
bool asSetWindowResIconAll(Handle window, std::u16string_view group);

// The handle of the application's hidden top-level window
// (ApplicationWindow); its icon is the application's icon.
Handle asGetThunderMainHandle();

}  // namespace tov::ui
