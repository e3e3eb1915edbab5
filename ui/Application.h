#pragma once
// The program's user interface: picks the backend once at start-up and
// keeps it for the run. Real windows when a display is there, the toolkit
// module loads and it can open the display; headless otherwise, or when
// QUILLMARK_UI=headless asks for it. The toolkit (Qt) is loaded only in the
// first case, so unattended runs never map it and run where it is not
// installed.
#include <memory>
#include <string>

#include "ui/ToolkitSession.h"

namespace tov::ui {

enum class BackendChoice { Automatic, Headless, Qt };

class Application {
 public:
  // programName names the program to the toolkit and in notes on stderr.
  // start is the toolkit linked into the program itself (tests, tools);
  // without it the toolkit module is loaded.
  explicit Application(std::string programName, BackendChoice choice = BackendChoice::Automatic,
                       ToolkitStart start = nullptr);
  ~Application();
  Application(const Application&) = delete;
  Application& operator=(const Application&) = delete;

  bool isHeadless() const { return !session_; }

 private:
  void startToolkit(ToolkitStart start);

  std::string programName_;
  std::unique_ptr<ToolkitSession> session_;
};

}  // namespace tov::ui
