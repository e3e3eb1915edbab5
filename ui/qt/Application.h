#pragma once
// The program's user interface: picks the backend once at start-up and
// keeps it for the run. Real windows (Qt) when a display is set and can be
// opened; headless otherwise, or when QUILLMARK_UI=headless asks for it.
#include <memory>
#include <string>
#include <vector>

class QApplication;

namespace tov::ui {

enum class BackendChoice { Automatic, Headless, Qt };

class Application {
 public:
  // programName names the program to the toolkit (window class, messages).
  explicit Application(const std::string& programName, BackendChoice choice = BackendChoice::Automatic);
  ~Application();
  Application(const Application&) = delete;
  Application& operator=(const Application&) = delete;

  bool isHeadless() const { return !qt_; }

 private:
  bool startQt();

  // QApplication keeps references to these for its whole life.
  int argc_ = 0;
  std::vector<std::string> args_;
  std::vector<char*> argv_;
  std::unique_ptr<QApplication> qt_;
};

}  // namespace tov::ui
