#include "ui/win32/Win32Toolkit.h"

#include <windows.h>
#include <commctrl.h>

#include "ui/win32/Win32Backend.h"

namespace tov::ui {

std::unique_ptr<Win32ToolkitSession> Win32ToolkitSession::start() {
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
  ::InitCommonControlsEx(&controls);
  WNDCLASSEXW cls{};
  cls.cbSize = sizeof cls;
  cls.lpfnWndProc = &Win32FormWindow::windowProc;
  cls.hInstance = ::GetModuleHandleW(nullptr);
  cls.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
  cls.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  cls.lpszClassName = Win32FormWindow::kClassName;
  if (!::RegisterClassExW(&cls) && ::GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return nullptr;
  std::unique_ptr<Win32ToolkitSession> session(new Win32ToolkitSession);
  session->previousFileDialog_ = FileDialog::setProvider(&showWin32FileDialog);
  return session;
}

Win32ToolkitSession::~Win32ToolkitSession() { FileDialog::setProvider(std::move(previousFileDialog_)); }

std::unique_ptr<Backend> Win32ToolkitSession::createBackend() { return std::make_unique<Win32Backend>(); }

ToolkitSession* startWin32Toolkit(const char*) { return Win32ToolkitSession::start().release(); }

}  // namespace tov::ui
