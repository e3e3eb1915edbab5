#pragma once
// The Qt toolkit for the program: the QApplication on the display, the file
// dialog it lends to FileDialog, and the backend that draws the windows.
#include <QApplication>
#include <memory>
#include <string>
#include <vector>

#include "ui/FileDialog.h"
#include "ui/ToolkitSession.h"

namespace tov::ui {

class QtToolkitSession : public ToolkitSession {
 public:
  // Null when Qt cannot open the display.
  static std::unique_ptr<QtToolkitSession> start(const std::string& programName);
  ~QtToolkitSession() override;

  std::unique_ptr<Backend> createBackend() override;

 private:
  QtToolkitSession() = default;
  bool open(const std::string& programName);

  // QApplication keeps references to these for its whole life.
  int argc_ = 0;
  std::vector<std::string> args_;
  std::vector<char*> argv_;
  std::unique_ptr<QApplication> app_;
  FileDialog::Provider previousFileDialog_;
};

// The toolkit's entry point (ToolkitStart): what the module exports, and
// what programs that link Qt in hand to Application.
ToolkitSession* startQtToolkit(const char* programName);

}  // namespace tov::ui
