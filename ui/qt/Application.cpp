#include "ui/qt/Application.h"

#include <QApplication>
#include <cstdlib>
#include <string_view>

#include "ui/HeadlessBackend.h"
#include "ui/qt/QtBackend.h"

namespace tov::ui {
namespace {

// Stands last in the platform list: a toolkit that ends up on it could not
// open the display, and the program goes headless instead of aborting.
constexpr std::string_view kFallbackPlatform = "minimal";

bool hasEnv(const char* name) {
  const char* value = std::getenv(name);
  return value && *value;
}

BackendChoice resolve(BackendChoice choice) {
  if (choice != BackendChoice::Automatic) return choice;
  const char* forced = std::getenv("QUILLMARK_UI");
  if (forced && std::string_view(forced) == "headless") return BackendChoice::Headless;
  if (forced && std::string_view(forced) == "qt") return BackendChoice::Qt;
  return hasEnv("DISPLAY") || hasEnv("WAYLAND_DISPLAY") ? BackendChoice::Qt : BackendChoice::Headless;
}

std::string platformList() {
  if (hasEnv("QT_QPA_PLATFORM")) return std::string(std::getenv("QT_QPA_PLATFORM")) + ";" + std::string(kFallbackPlatform);
  std::string list;
  if (hasEnv("WAYLAND_DISPLAY")) list += "wayland;";
  if (hasEnv("DISPLAY")) list += "xcb;";
  return list + std::string(kFallbackPlatform);
}

}  // namespace

Application::Application(const std::string& programName, BackendChoice choice) {
  args_ = {programName};
  if (resolve(choice) == BackendChoice::Qt && startQt()) {
    Backend::install(std::make_unique<QtBackend>());
  } else {
    Backend::install(std::make_unique<HeadlessBackend>());
  }
}

bool Application::startQt() {
  const std::string platforms = platformList();
  // Nothing to open: windows nobody can see would wait for ever.
  if (platforms == kFallbackPlatform) return false;
  args_.insert(args_.end(), {"-platform", platforms});
  for (std::string& arg : args_) argv_.push_back(arg.data());
  argv_.push_back(nullptr);
  argc_ = static_cast<int>(args_.size());
  qt_ = std::make_unique<QApplication>(argc_, argv_.data());
  if (QGuiApplication::platformName().toStdString() == kFallbackPlatform &&
      !platforms.starts_with(kFallbackPlatform)) {
    qt_.reset();
  }
  return qt_ != nullptr;
}

Application::~Application() {
  // The Qt windows go before the toolkit does.
  Backend::install(std::make_unique<HeadlessBackend>());
  qt_.reset();
}

}  // namespace tov::ui
