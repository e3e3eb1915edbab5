#include "ui/qt/QtToolkit.h"

#include <cstdlib>
#include <string_view>

#include "ui/qt/QtBackend.h"
#include "ui/qt/QtFileDialog.h"

namespace tov::ui {
namespace {

// Stands last in the platform list: a toolkit that ends up on it could not
// open the display, and the program goes headless instead of aborting.
constexpr std::string_view kFallbackPlatform = "minimal";

bool hasEnv(const char* name) {
  const char* value = std::getenv(name);
  return value && *value;
}

std::string platformList() {
  if (hasEnv("QT_QPA_PLATFORM")) return std::string(std::getenv("QT_QPA_PLATFORM")) + ";" + std::string(kFallbackPlatform);
  std::string list;
  if (hasEnv("WAYLAND_DISPLAY")) list += "wayland;";
  if (hasEnv("DISPLAY")) list += "xcb;";
  return list + std::string(kFallbackPlatform);
}

}  // namespace

std::unique_ptr<QtToolkitSession> QtToolkitSession::start(const std::string& programName) {
  std::unique_ptr<QtToolkitSession> session(new QtToolkitSession);
  if (!session->open(programName)) return nullptr;
  return session;
}

bool QtToolkitSession::open(const std::string& programName) {
  const std::string platforms = platformList();
  // Nothing to open: windows nobody can see would wait for ever.
  if (platforms == kFallbackPlatform) return false;
  args_ = {programName, "-platform", platforms};
  for (std::string& arg : args_) argv_.push_back(arg.data());
  argv_.push_back(nullptr);
  argc_ = static_cast<int>(args_.size());
  app_ = std::make_unique<QApplication>(argc_, argv_.data());
  if (QGuiApplication::platformName().toStdString() == kFallbackPlatform &&
      !platforms.starts_with(kFallbackPlatform)) {
    app_.reset();
    return false;
  }
  previousFileDialog_ = FileDialog::setProvider(
      [](const FileDialogRequest& request, std::u16string& chosen) { return showQtFileDialog(request, chosen); });
  return true;
}

QtToolkitSession::~QtToolkitSession() {
  if (app_) FileDialog::setProvider(std::move(previousFileDialog_));
}

std::unique_ptr<Backend> QtToolkitSession::createBackend() { return std::make_unique<QtBackend>(); }

ToolkitSession* startQtToolkit(const char* programName) { return QtToolkitSession::start(programName).release(); }

}  // namespace tov::ui
