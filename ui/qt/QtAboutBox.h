#pragma once
// The program's about box: its icon beside its title and version, then the
// extra text and the dedication, and an OK button. Modal.
#include <QDialog>

#include "ui/AboutBoxRequest.h"

namespace tov::ui {

class QtAboutBox : public QDialog {
 public:
  QtAboutBox(const AboutBoxRequest& request, QWidget* parent);
};

void showQtAboutBox(const AboutBoxRequest& request, QWidget* parent);

}  // namespace tov::ui
