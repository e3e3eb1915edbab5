#include "ui/Application.h"

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string_view>

#include "ui/DisplayPresence.h"
#include "ui/HeadlessBackend.h"
#include "ui/ToolkitModule.h"

namespace tov::ui {
namespace {

BackendChoice resolve(BackendChoice choice) {
  if (choice != BackendChoice::Automatic) return choice;
  const char* forced = std::getenv("QUILLMARK_UI");
  if (forced && std::string_view(forced) == "headless") return BackendChoice::Headless;
  if (forced && std::string_view(forced) == "qt") return BackendChoice::Qt;
  return displayPresent() ? BackendChoice::Qt : BackendChoice::Headless;
}

}  // namespace

Application::Application(std::string programName, BackendChoice choice, ToolkitStart start)
    : programName_(std::move(programName)) {
  if (resolve(choice) == BackendChoice::Qt && toolkitCanDraw()) startToolkit(start);
  if (session_) {
    Backend::install(session_->createBackend());
  } else {
    Backend::install(std::make_unique<HeadlessBackend>());
  }
}

void Application::startToolkit(ToolkitStart start) {
  std::string problem;
  if (!start) start = loadToolkitModule(problem);
  if (!start) {
    std::fprintf(stderr, "%s: no windows, the window toolkit cannot be loaded: %s\n", programName_.c_str(),
                 problem.c_str());
    return;
  }
  try {
    session_.reset(start(programName_.c_str()));
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s: no windows, the window toolkit failed to start: %s\n", programName_.c_str(), e.what());
  }
}

Application::~Application() {
  // The toolkit's windows go before the toolkit does.
  Backend::install(std::make_unique<HeadlessBackend>());
  session_.reset();
}

}  // namespace tov::ui
