// Which backend the program gets.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <optional>
#include <string>

#include "TempDir.h"
#include "ui/Application.h"
#include "ui/HeadlessBackend.h"
#include "platform/ProgramLocation.h"
#include "ui/ToolkitModule.h"
#include "ui/qt/QtToolkit.h"

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
  Application qt("tests_ui", BackendChoice::Qt, &startQtToolkit);
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
  Application app("tests_ui", BackendChoice::Automatic, &startQtToolkit);
  EXPECT_TRUE(app.isHeadless());
  EXPECT_TRUE(headlessInstalled());
}

// The program must still run where the toolkit is missing or broken, and
// say why it shows no windows.
TEST(ApplicationBackend, HeadlessWithANoteWhenTheToolkitModuleCannotBeLoaded) {
  tovtest::TempDir dir("module");
  tovtest::writeBytes(dir / "libtovui-qt.so", "not a library");
  const std::string broken = (dir / "libtovui-qt.so").string();
  const std::string missing = (dir / "missing.so").string();
  for (const std::string& module : {missing, broken}) {
    Environment env;
    env.set("DISPLAY", ":0");
    env.set("QUILLMARK_UI", nullptr);
    env.set("TOVAPPS_UI_MODULE", module.c_str());
    ASSERT_EQ(toolkitModuleCandidates(), std::vector<std::filesystem::path>{module});
    testing::internal::CaptureStderr();
    {
      Application app("tests_ui");
      EXPECT_TRUE(app.isHeadless());
      EXPECT_TRUE(headlessInstalled());
    }
    const std::string note = testing::internal::GetCapturedStderr();
    EXPECT_EQ(note.rfind("tests_ui: no windows, the window toolkit cannot be loaded: ", 0), 0u) << note;
    EXPECT_NE(note.find(module), std::string::npos) << note;
    EXPECT_EQ(std::count(note.begin(), note.end(), '\n'), 1) << note;
  }
}

TEST(ApplicationBackend, TheModuleIsLookedForBesideTheProgram) {
  Environment env;
  env.set("TOVAPPS_UI_MODULE", nullptr);
  const std::vector<std::filesystem::path> candidates = toolkitModuleCandidates();
  ASSERT_FALSE(candidates.empty());
  const std::filesystem::path programDir = tov::platform::programPath().parent_path();
  for (const auto& file : candidates) {
    EXPECT_EQ(file.filename(), "libtovui-qt.so");
    EXPECT_EQ(file.lexically_relative(programDir).begin()->string(), "..") << file;
  }
  // The build tree holds the module where a program in it looks.
  EXPECT_TRUE(std::any_of(candidates.begin(), candidates.end(),
                          [](const auto& file) { return std::filesystem::exists(file); }));
}

}  // namespace
