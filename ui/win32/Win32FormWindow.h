#pragma once
// The window of one form: a top-level window with one child window per
// control, at the control's twips position, kept up to date by the backend.
// What the user does in it goes back to the model through its user actions;
// the windows decide nothing themselves.
#include <windows.h>
#include <shellapi.h>

#include <string>
#include <vector>

#include "ui/Form.h"

namespace tov::ui {

class Win32FormWindow {
 public:
  // `owner` is the window a modal form stays above, or null.
  Win32FormWindow(Form& form, HWND owner);
  ~Win32FormWindow();
  Win32FormWindow(const Win32FormWindow&) = delete;
  Win32FormWindow& operator=(const Win32FormWindow&) = delete;

  static const wchar_t kClassName[];
  static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  // The form window a window belongs to (itself or one of its controls).
  static Win32FormWindow* fromWindow(HWND window);

  HWND window() const { return window_; }
  Form* form() const { return form_; }
  HWND windowFor(const Control& control) const;
  Control* controlFor(HWND child) const;

  // The form is unloaded or gone: nothing is passed on any more.
  void detach() { form_ = nullptr; }

  void update(FormProperty property);
  void update(Control& control, ControlProperty property);
  void showFocus(Control* control);
  // The application's icon, for a form without one of its own.
  void setFallbackIcon(HICON big, HICON small);

  // Keys go to the model before the window system sees them; true when the
  // model used the key up.
  bool keyDown(const MSG& message);
  // After each message: the focus and an edit field's selection as the
  // window system has them now.
  void syncFromWindows();

 private:
  struct Child {
    Control* control;
    HWND window;
  };

  LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
  void command(HWND child, int code);
  void filesDropped(HDROP drop);
  void createChild(Control& control, int id);
  void push(const Child& child, ControlProperty property);
  void pushText(const Child& child);
  void pushSelection(const Child& child);
  void pushItems(const Child& child);
  void pushListIndex(const Child& child);
  void pushPosition(const Child& child);
  void pushVisibility(const Child& child);
  void syncSelection(const Child& child);
  const Child* childFor(const Control& control) const;
  const Child* childFor(HWND window) const;
  void applySize();
  void applyBorder();
  void applyFont();
  void applyIcon();

  Form* form_;
  HWND window_ = nullptr;
  std::vector<Child> children_;
  HFONT font_ = nullptr;
  HICON iconBig_ = nullptr;
  HICON iconSmall_ = nullptr;
  HICON fallbackBig_ = nullptr;
  HICON fallbackSmall_ = nullptr;
  HWND lastFocus_ = nullptr;
  // Set while the model's state goes to the windows, so the notifications
  // that causes are not taken for the user's input.
  int pushing_ = 0;
};

// Loads the icon the model names: "#resource:NAME" is a group of the
// program's own resources, anything else an .ico file. Null when none.
HICON loadFormIcon(const std::vector<std::u16string>& icon, bool small);

}  // namespace tov::ui
