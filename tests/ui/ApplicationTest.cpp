// Which backend the program gets.
#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <optional>
#include <string>

#include "ui/HeadlessBackend.h"
#include "ui/qt/Application.h"

using namespace tov::ui;

namespace {

// Sets or clears environment variables for one test and puts them back.
class Environment {
 public:
  void set(const char* name, const char* value) {
    if (!saved_.count(name)) {
      const char* old = std::getenv(name);
      saved_[name] = old ? std::optional<std::string>(old) : std::nullopt;
    }
    if (value) {
      setenv(name, value, 1);
    } else {
      unsetenv(name);
    }
  }
  ~Environment() {
    for (const auto& [name, value] : saved_) {
      if (value) {
        setenv(name.c_str(), value->c_str(), 1);
      } else {
        unsetenv(name.c_str());
      }
    }
  }

 private:
  std::map<std::string, std::optional<std::string>> saved_;
};

bool headlessInstalled() { return dynamic_cast<HeadlessBackend*>(&Backend::current()) != nullptr; }

TEST(ApplicationBackend, HeadlessWhenAskedForEvenWithADisplay) {
  Environment env;
  env.set("DISPLAY", ":0");
  env.set("QUILLMARK_UI", "headless");
  Application app("tests_ui");
  EXPECT_TRUE(app.isHeadless());
  EXPECT_TRUE(headlessInstalled());
}

// With nothing to show windows on, even a program that wants Qt must not end
// up with windows that nobody can see or answer.
TEST(ApplicationBackend, HeadlessWithoutADisplayEvenWhenQtIsWanted) {
  Environment env;
  env.set("DISPLAY", nullptr);
  env.set("WAYLAND_DISPLAY", nullptr);
  env.set("QT_QPA_PLATFORM", nullptr);
  env.set("QUILLMARK_UI", nullptr);
  {
    Application automatic("tests_ui");
    EXPECT_TRUE(automatic.isHeadless());
  }
  Application qt("tests_ui", BackendChoice::Qt);
  EXPECT_TRUE(qt.isHeadless());
  EXPECT_TRUE(headlessInstalled());
}

TEST(ApplicationBackend, HeadlessWhenTheDisplayCannotBeOpened) {
  Environment env;
  env.set("DISPLAY", "/nonexistent/socket:0");
  env.set("DBUS_SESSION_BUS_ADDRESS", "disabled:");
  env.set("WAYLAND_DISPLAY", nullptr);
  env.set("QT_QPA_PLATFORM", nullptr);
  env.set("QUILLMARK_UI", nullptr);
  Application app("tests_ui");
  EXPECT_TRUE(app.isHeadless());
  EXPECT_TRUE(headlessInstalled());
}

}  // namespace
