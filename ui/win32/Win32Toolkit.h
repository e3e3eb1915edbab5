#pragma once
// The native toolkit: the common controls, the form window class, the
// system's file dialogs lent to FileDialog, and the backend that draws with
// them. Part of the program itself; there is no module to load.
#include <memory>

#include "ui/FileDialog.h"
#include "ui/ToolkitSession.h"

namespace tov::ui {

class Win32ToolkitSession : public ToolkitSession {
 public:
  // Null when the window class cannot be registered.
  static std::unique_ptr<Win32ToolkitSession> start();
  ~Win32ToolkitSession() override;

  std::unique_ptr<Backend> createBackend() override;

 private:
  Win32ToolkitSession() = default;

  FileDialog::Provider previousFileDialog_;
};

// The toolkit's entry point (ToolkitStart).
ToolkitSession* startWin32Toolkit(const char* programName);

// The system's open and save dialogs for FileDialog.
bool showWin32FileDialog(const FileDialogRequest& request, std::u16string& chosen);

}  // namespace tov::ui
