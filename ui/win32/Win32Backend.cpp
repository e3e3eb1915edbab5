#include "ui/win32/Win32Backend.h"

#include <atomic>
#include <exception>
#include <thread>
#include <vector>

#include "ui/ApplicationWindow.h"
#include "ui/HandleTable.h"
#include "ui/win32/Win32Text.h"

namespace tov::ui {

Win32Backend::Win32Backend() { applyApplicationIcon(); }

Win32Backend::~Win32Backend() {
  windows_.clear();
  if (appIconBig_) ::DestroyIcon(appIconBig_);
  if (appIconSmall_) ::DestroyIcon(appIconSmall_);
}

Win32FormWindow* Win32Backend::find(const Form& form) const {
  const auto it = windows_.find(&form);
  return it == windows_.end() ? nullptr : it->second.get();
}

HWND Win32Backend::windowFor(const Form& form) const {
  const Win32FormWindow* window = find(form);
  return window ? window->window() : nullptr;
}

HWND Win32Backend::ownerWindow(Handle owner) const {
  const Form* form = HandleTable::form(owner);
  const HWND window = form ? windowFor(*form) : nullptr;
  return window ? window : ::GetActiveWindow();
}

void Win32Backend::applyApplicationIcon() {
  const std::vector<std::u16string>& icon = ApplicationWindow::instance().icon();
  HICON big = loadFormIcon(icon, false);
  HICON small = loadFormIcon(icon, true);
  for (auto& [form, window] : windows_) window->setFallbackIcon(big, small);
  if (appIconBig_) ::DestroyIcon(appIconBig_);
  if (appIconSmall_) ::DestroyIcon(appIconSmall_);
  appIconBig_ = big;
  appIconSmall_ = small;
}

void Win32Backend::showForm(Form& form) {
  if (form.isApplicationWindow()) return;  // it stands for the program and is never shown
  std::unique_ptr<Win32FormWindow>& window = windows_[&form];
  if (!window) {
    // A modal window stays above the window that was active.
    const HWND owner = form.isModal() ? ::GetActiveWindow() : nullptr;
    window = std::make_unique<Win32FormWindow>(form, owner);
    window->setFallbackIcon(appIconBig_, appIconSmall_);
  }
  if (!window->window()) return;
  ::ShowWindow(window->window(), SW_SHOW);
  ::SetForegroundWindow(window->window());
}

void Win32Backend::hideForm(Form& form) {
  if (Win32FormWindow* window = find(form)) ::ShowWindow(window->window(), SW_HIDE);
}

void Win32Backend::dropForm(Form& form) {
  const auto it = windows_.find(&form);
  if (it == windows_.end()) return;
  // Destroying the window may activate another, which sends messages to
  // this one; it passes nothing on from now on.
  it->second->detach();
  std::unique_ptr<Win32FormWindow> window = std::move(it->second);
  windows_.erase(it);
}

bool Win32Backend::anyFormShown() const {
  for (const auto& [form, window] : windows_) {
    if (form->isVisible()) return true;
  }
  return false;
}

bool Win32Backend::pumpOne() {
  MSG message;
  const BOOL got = ::GetMessageW(&message, nullptr, 0, 0);
  if (got <= 0) {
    quitting_ = true;
    return false;
  }
  Win32FormWindow* window = Win32FormWindow::fromWindow(message.hwnd);
  if (window && window->keyDown(message)) return true;
  ::TranslateMessage(&message);
  ::DispatchMessageW(&message);
  // The message may have dropped the form's window: look it up again.
  if (Win32FormWindow* after = Win32FormWindow::fromWindow(::GetFocus())) after->syncFromWindows();
  return true;
}

void Win32Backend::runModal(Form& form) {
  // The other windows take no input while a modal one is shown.
  std::vector<HWND> disabled;
  for (const auto& [other, window] : windows_) {
    if (other != &form && window->window() && ::IsWindowEnabled(window->window())) {
      disabled.push_back(window->window());
      ::EnableWindow(window->window(), FALSE);
    }
  }
  while (form.isVisible() && !quitting_ && pumpOne()) {
  }
  for (HWND window : disabled) {
    if (::IsWindow(window)) ::EnableWindow(window, TRUE);
  }
  if (quitting_) ::PostQuitMessage(0);
}

void Win32Backend::runEventLoop() {
  while (anyFormShown() && !quitting_ && pumpOne()) {
  }
}

void Win32Backend::formChanged(Form& form, FormProperty property) {
  if (form.isApplicationWindow() && property == FormProperty::Icon) applyApplicationIcon();
  if (Win32FormWindow* window = find(form)) window->update(property);
}

void Win32Backend::controlChanged(Control& control, ControlProperty property) {
  if (Win32FormWindow* window = find(control.form())) window->update(control, property);
}

void Win32Backend::focusChanged(Form& form, Control* control) {
  if (Win32FormWindow* window = find(form)) window->showFocus(control);
}

int Win32Backend::messageBox(const MessageBoxRequest& request) {
  // The style bits are the system's own.
  const std::wstring text = win32::wide(request.text);
  const std::wstring title = win32::wide(request.title);
  const int chosen =
      ::MessageBoxW(::GetActiveWindow(), text.c_str(), title.c_str(), static_cast<UINT>(request.style) | MB_SETFOREGROUND);
  return chosen == 0 ? request.defaultButton() : chosen;
}

Size Win32Backend::screenSize() const {
  RECT area{};
  if (!::SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0)) return {pixelsToTwips(1024), pixelsToTwips(768)};
  return {pixelsToTwips(area.right - area.left), pixelsToTwips(area.bottom - area.top)};
}

void Win32Backend::setBusy(bool busy) {
  if (busy && busy_++ == 0) {
    cursorBeforeBusy_ = ::SetCursor(::LoadCursorW(nullptr, IDC_WAIT));
  } else if (!busy && busy_ > 0 && --busy_ == 0) {
    ::SetCursor(cursorBeforeBusy_ ? cursorBeforeBusy_ : ::LoadCursorW(nullptr, IDC_ARROW));
  }
}

namespace {

bool isInput(UINT message) {
  return (message >= WM_KEYFIRST && message <= WM_KEYLAST) || (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST) ||
         (message >= WM_NCMOUSEMOVE && message <= WM_NCXBUTTONDBLCLK);
}

}  // namespace

// The work runs beside the message loop, which goes on painting the windows
// while their input is held off; the loop ends when the work is done.
void Win32Backend::runBusy(const std::function<void()>& work) {
  const DWORD loopThread = ::GetCurrentThreadId();
  std::exception_ptr failure;
  std::atomic<bool> finished{false};
  std::thread worker([&] {
    try {
      work();
    } catch (...) {
      failure = std::current_exception();
    }
    finished = true;
    ::PostThreadMessageW(loopThread, WM_NULL, 0, 0);  // wakes the loop
  });
  while (!finished) {
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_ALLINPUT);
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (message.message == WM_QUIT) {
        quitting_ = true;
      } else if (message.hwnd && !isInput(message.message) && message.message != WM_SYSCOMMAND &&
                 message.message != WM_CLOSE) {
        ::DispatchMessageW(&message);
      }
    }
  }
  worker.join();
  if (quitting_) ::PostQuitMessage(0);
  if (failure) std::rethrow_exception(failure);
}

}  // namespace tov::ui
