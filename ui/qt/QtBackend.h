#pragma once
// The backend with real windows: one Qt window per shown form.
#include <QEventLoop>
#include <QPointer>
#include <map>
#include <vector>

#include "ui/Backend.h"
#include "ui/qt/QtFormWindow.h"

namespace tov::ui {

class QtBackend : public Backend {
 public:
  // Needs a QApplication that lives longer than the backend.
  QtBackend();
  ~QtBackend() override;

  // The window and widgets of a form, for tests; null when not shown.
  QtFormWindow* windowFor(const Form& form) const;
  QWidget* widgetFor(const Control& control) const;
  // The window a dialog belongs to: that of the form the handle names, or
  // else the active window.
  QWidget* ownerWidget(Handle owner) const;

  void showForm(Form& form) override;
  void hideForm(Form& form) override;
  void dropForm(Form& form) override;
  void runModal(Form& form) override;
  void formChanged(Form& form, FormProperty property) override;
  void controlChanged(Control& control, ControlProperty property) override;
  void focusChanged(Form& form, Control* control) override;
  int messageBox(const MessageBoxRequest& request) override;
  void aboutBox(const AboutBoxRequest& request) override;
  void runEventLoop() override;
  Size screenSize() const override;
  void setBusy(bool busy) override;
  void runBusy(const std::function<void()>& work) override;

 private:
  struct ModalLoop {
    const Form* form;
    QEventLoop* loop;
  };

  bool anyFormShown() const;
  void endLoopsOf(const Form& form);

  std::map<const Form*, QtFormWindow*> windows_;
  std::vector<ModalLoop> modalLoops_;
  QPointer<QEventLoop> mainLoop_;
};

}  // namespace tov::ui
