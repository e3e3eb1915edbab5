#pragma once
// A message box as a modal Qt dialog; returns the id of the button chosen.
#include "ui/MessageBoxRequest.h"

class QWidget;

namespace tov::ui {

int showQtMessageBox(const MessageBoxRequest& request, QWidget* parent);

}  // namespace tov::ui
