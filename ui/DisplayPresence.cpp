#include "ui/DisplayPresence.h"

#include <cstdlib>

namespace tov::ui {
namespace {

bool hasEnv(const char* name) {
  const char* value = std::getenv(name);
  return value && *value;
}

}  // namespace

bool displayPresent() { return hasEnv("DISPLAY") || hasEnv("WAYLAND_DISPLAY"); }

bool toolkitCanDraw() { return displayPresent() || hasEnv("QT_QPA_PLATFORM"); }

}  // namespace tov::ui
