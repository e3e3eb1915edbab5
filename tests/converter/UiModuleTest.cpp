// The program and its window toolkit: the program links no Qt, loads the Qt
// module only when there is a display to use, runs on without it, and finds
// its icons wherever it runs from.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <stdexcept>
#include <string>
#include <vector>

#include "ProgramRun.h"
#include "TempDir.h"
#include "converter/CLocalization.h"
#include "converter/ProgramInfo.h"
#include "converter/ProgramResources.h"
#include "converter/frmMain.h"
#include "ui/HeadlessBackend.h"
#include "ui/IconResources.h"

namespace {

using ProgramOutput = tovtest::ProgramRun;

// Runs the program with "/?" and the given environment on top of a clean
// one: no display unless the environment names one.
ProgramOutput runProgram(const std::vector<std::string>& env) {
  std::vector<std::string> all{"DBUS_SESSION_BUS_ADDRESS=disabled:"};
  all.insert(all.end(), env.begin(), env.end());
  return tovtest::runProgram(QUILLMARK_BINARY, {"/?"}, {all, {"QUILLMARK_UI", "QT_QPA_PLATFORM"}, "", true});
}

bool mentions(const ProgramOutput& run, const std::string& text) { return run.output.find(text) != std::string::npos; }

TEST(ToolkitModule, TheProgramItselfNeedsNoQt) {
  const ProgramOutput needed = runProgram({"LD_TRACE_LOADED_OBJECTS=1"});
  EXPECT_TRUE(mentions(needed, "libc.so")) << needed.output;
  EXPECT_FALSE(mentions(needed, "libQt6")) << needed.output;
}

TEST(ToolkitModule, LoadedOnlyWhenADisplayIsToBeUsed) {
  const ProgramOutput headless = runProgram({"LD_DEBUG=files", "DISPLAY=/nonexistent/socket:0", "QUILLMARK_UI=headless"});
  EXPECT_EQ(headless.status, 0);
  EXPECT_TRUE(mentions(headless, "Usage:")) << headless.output;
  EXPECT_FALSE(mentions(headless, "libtovui-qt.so")) << headless.output;
  EXPECT_FALSE(mentions(headless, "libQt6")) << headless.output;

  const ProgramOutput noDisplay = runProgram({"LD_DEBUG=files"});
  EXPECT_FALSE(mentions(noDisplay, "libtovui-qt.so")) << noDisplay.output;

  // With a display to try the module is loaded, everything in it resolved
  // against the program; the display cannot be opened, so the run goes on
  // headless without a note about the module.
  const ProgramOutput display = runProgram({"LD_DEBUG=files", "DISPLAY=/nonexistent/socket:0"});
  EXPECT_EQ(display.status, 0);
  EXPECT_TRUE(mentions(display, "libtovui-qt.so")) << display.output;
  EXPECT_TRUE(mentions(display, "libQt6Widgets")) << display.output;
  EXPECT_FALSE(mentions(display, "cannot be loaded")) << display.output;
  EXPECT_TRUE(mentions(display, "Usage:")) << display.output;
}

TEST(ToolkitModule, WithoutTheModuleTheProgramRunsHeadlessAndSaysWhy) {
  tovtest::TempDir dir("nomodule");
  const std::string missing = (dir / "libtovui-qt.so").string();
  const ProgramOutput run = runProgram({"DISPLAY=:0", "TOVAPPS_UI_MODULE=" + missing});
  EXPECT_EQ(run.status, 0);
  EXPECT_TRUE(mentions(run, "quillmark: no windows, the window toolkit cannot be loaded: " + missing + " not found\n"))
      << run.output;
  EXPECT_TRUE(mentions(run, "Usage:")) << run.output;
}

// A module of another build may expect other layouts of the program's
// classes than this program has: it is refused before anything in it is
// called, saying so, and the program runs on headless.
TEST(ToolkitModule, AModuleOfAnotherBuildIsRefused) {
  const ProgramOutput other = runProgram({"DISPLAY=:0", "TOVAPPS_UI_MODULE=" OTHER_BUILD_MODULE});
  EXPECT_EQ(other.status, 0);
  EXPECT_TRUE(mentions(other, "quillmark: no windows, the window toolkit cannot be loaded: " OTHER_BUILD_MODULE
                              " belongs to another build of the program (module build 0.9.0+0123456789abcdef, "
                              "program build "))
      << other.output;
  EXPECT_TRUE(mentions(other, "Usage:")) << other.output;
  EXPECT_FALSE(mentions(other, "stand-in toolkit started")) << other.output;

  const ProgramOutput unstamped = runProgram({"DISPLAY=:0", "TOVAPPS_UI_MODULE=" UNSTAMPED_MODULE});
  EXPECT_EQ(unstamped.status, 0);
  EXPECT_TRUE(mentions(unstamped, UNSTAMPED_MODULE " belongs to another build of the program (module without a "
                                  "build stamp, program build "))
      << unstamped.output;
  EXPECT_FALSE(mentions(unstamped, "stand-in toolkit started")) << unstamped.output;

  // A pipe named by mistake is no module, and the start does not hang on it.
  tovtest::TempDir dir("pipe");
  const std::string pipe = (dir / "libtovui-qt.so").string();
  ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
  const ProgramOutput fifo = runProgram({"DISPLAY=:0", "TOVAPPS_UI_MODULE=" + pipe});
  EXPECT_EQ(fifo.status, 0);
  EXPECT_TRUE(mentions(fifo, pipe + " is not a module file")) << fifo.output;
}

// The build tree holds the program's icons where an installation does,
// seen from the program: the tests run from it too.
TEST(ProgramIcon, TheMainWindowShowsTheProgramsIconAtBothSizes) {
  tov::ui::useHeadlessBackend().setEcho(false);
  quillmark::registerProgramResources();
  const std::vector<std::u16string> files = tov::ui::IconResources::files(quillmark::kMainIconGroup);
  ASSERT_EQ(files.size(), 2u);
  EXPECT_TRUE(files[0].ends_with(u"/share/icons/hicolor/16x16/apps/quillmark.png"));
  EXPECT_TRUE(files[1].ends_with(u"/share/icons/hicolor/32x32/apps/quillmark.png"));

  quillmark::CLocalization localization(quillmark::programInfo());
  quillmark::frmMain window(quillmark::frmMain::Services{
      localization, []() -> quillmark::TextFileWriter& { throw std::logic_error("no conversion here"); }, {}});
  window.load();
  EXPECT_EQ(window.icon(), files);
  window.unload();
}

}  // namespace
