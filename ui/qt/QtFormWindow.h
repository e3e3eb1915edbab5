#pragma once
// The Qt window of one form: made from the form's controls at their twips
// positions, kept up to date by the backend, and reporting the user's keys,
// focus changes and close box to the form.
#include <QWidget>
#include <memory>
#include <vector>

#include "ui/Form.h"
#include "ui/qt/QtControlBinding.h"

namespace tov::ui {

class QtFormWindow : public QWidget {
 public:
  explicit QtFormWindow(Form& form);
  ~QtFormWindow() override;

  Form* form() const { return form_; }
  // The form is unloaded or gone: the window passes nothing on any more.
  void detach();

  void update(FormProperty property);
  void update(Control& control, ControlProperty property);
  void showFocus(Control* control);
  QWidget* widgetFor(const Control& control) const;
  // The title bar's buttons for a window of that border.
  static Qt::WindowFlags borderFlags(bool fixed, bool modal);

 protected:
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QtControlBinding* bindingFor(const Control& control) const;
  QtControlBinding* bindingFor(const QObject* widget) const;
  QWidget* keyTarget() const;
  bool keyPressed(QObject* watched, QEvent* event);
  void focusArrived(QObject* watched, Qt::FocusReason reason);
  void applyBorder();
  void applySize();
  void applyIcon();

  Form* form_;
  std::vector<std::unique_ptr<QtControlBinding>> bindings_;
  bool redirecting_ = false;
};

}  // namespace tov::ui
