#pragma once
// The backend with native windows: one window per shown form, and the
// system's own message boxes and message loop. Keys reach the forms model
// before the window system handles them, so Tab, Enter and Escape do what
// the model says.
#include <windows.h>

#include <map>
#include <memory>

#include "ui/Backend.h"
#include "ui/win32/Win32FormWindow.h"

namespace tov::ui {

class Win32Backend : public Backend {
 public:
  Win32Backend();
  ~Win32Backend() override;

  // The native window of a form, null when it is not shown; for dialogs
  // that need an owner.
  HWND windowFor(const Form& form) const;
  HWND ownerWindow(Handle owner) const;

  void showForm(Form& form) override;
  void hideForm(Form& form) override;
  void dropForm(Form& form) override;
  void runModal(Form& form) override;
  void formChanged(Form& form, FormProperty property) override;
  void controlChanged(Control& control, ControlProperty property) override;
  void focusChanged(Form& form, Control* control) override;
  int messageBox(const MessageBoxRequest& request) override;
  void runEventLoop() override;
  Size screenSize() const override;
  void setBusy(bool busy) override;
  void runBusy(const std::function<void()>& work) override;

 private:
  Win32FormWindow* find(const Form& form) const;
  bool anyFormShown() const;
  // One message taken and handled; false when the loop must end (WM_QUIT).
  bool pumpOne();
  void applyApplicationIcon();

  std::map<const Form*, std::unique_ptr<Win32FormWindow>> windows_;
  HICON appIconBig_ = nullptr;
  HICON appIconSmall_ = nullptr;
  bool quitting_ = false;
  int busy_ = 0;
  HCURSOR cursorBeforeBusy_ = nullptr;
};

}  // namespace tov::ui
