#pragma once
// The open and save dialogs as Qt's own file dialog, the same on every
// desktop, with the program's filters.
#include <QStringList>
#include <string>
#include <string_view>

#include "ui/FileDialog.h"

class QWidget;

namespace tov::ui {

// The program's filter text, label and patterns joined by "|" with the
// patterns of one label joined by ";" ("XML files|*.XML|All files|*.*"), as
// Qt name filters ("XML files (*.XML)", "All files (*)"). "*.*" means every
// file, as it does where the filters come from, not only names with a dot.
// A label without patterns is dropped.
QStringList qtNameFilters(std::u16string_view filter);

// Shows the dialog modally over `owner`; true with the chosen full name.
bool showQtFileDialog(const FileDialogRequest& request, QWidget* owner, std::u16string& chosen);
// The same over the window the request's owner handle names.
bool showQtFileDialog(const FileDialogRequest& request, std::u16string& chosen);

}  // namespace tov::ui
