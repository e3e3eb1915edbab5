#include "ui/WindowFunctions.h"

#include <algorithm>

#include "ui/ApplicationWindow.h"
#include "ui/Backend.h"
#include "ui/Control.h"
#include "ui/Form.h"
#include "ui/HandleTable.h"
#include "ui/IconResources.h"

namespace tov::ui {

bool asCenterFormEx(Form& form) {
  const Size screen = Backend::current().screenSize();
  const Size size = form.clientSize();
  // A window larger than the screen keeps its top left corner on it.
  form.move(std::max(0, (screen.width - size.width) / 2), std::max(0, (screen.height - size.height) / 2));
  return true;
}

bool asCenterFormEx(Handle window) {
  Form* form = HandleTable::form(window);
  return form && asCenterFormEx(*form);
}

bool asHighlightText(Control& field) {
  if (field.kind() != ControlKind::TextBox) return false;
  field.setSelStart(0);
  field.setSelLength(static_cast<int>(field.text().size()));
  return true;
}

bool asHighlightText(Handle field) {
  Control* control = HandleTable::control(field);
  return control && asHighlightText(*control);
}

Handle GetFocus() {
  Form* form = Form::activeForm();
  Control* focused = form ? form->activeControl() : nullptr;
  return focused ? focused->handle() : 0;
}

bool asSetWindowResIconAll(Form& form, std::u16string_view group) {
  std::vector<std::u16string> files = IconResources::files(group);
  if (files.empty()) return false;
  form.setIcon(std::move(files));
  return true;
}

bool asSetWindowResIconAll(Handle window, std::u16string_view group) {
  Form* form = HandleTable::form(window);
  return form && asSetWindowResIconAll(*form, group);
}

Handle asGetThunderMainHandle() { return ApplicationWindow::instance().handle(); }

}  // namespace tov::ui
