// The per-user desktop entry of the running program: made from the
// installed one with the program's own path, written only when it changes,
// and left alone where it would only duplicate or clutter.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>

#include "TempDir.h"
#include "support/AppPathRegistration.h"

namespace tov {
namespace {

namespace fs = std::filesystem;
using Outcome = AppPathRegistration::Outcome;

class AppPath : public ::testing::Test {
 protected:
  void SetUp() override {
    install(prefix.path());
    program = prefix / "bin" / "quillmark";
  }

  // An unpacked installation: the program, its desktop entry and icon.
  static void install(const fs::path& at) {
    fs::create_directories(at / "bin");
    tovtest::writeBytes(at / "bin" / "quillmark", "#!/bin/sh\n");
    fs::create_directories(at / "share" / "applications");
    tovtest::writeBytes(at / "share" / "applications" / "quillmark.desktop",
                        "[Desktop Entry]\nType=Application\nName=Quillmark\nExec=quillmark %f\nIcon=quillmark\n");
    fs::create_directories(at / "share" / "icons" / "hicolor" / "32x32" / "apps");
    tovtest::writeBytes(at / "share" / "icons" / "hicolor" / "32x32" / "apps" / "quillmark.png", "png");
  }

  AppPathRegistration registration(const fs::path& programFile, std::vector<fs::path> desktopDirs = {}) const {
    return AppPathRegistration(programFile, programFile.parent_path().parent_path() / "share", home / "data",
                               std::move(desktopDirs));
  }
  fs::path entry() const { return home / "data" / "applications" / "tovapps-quillmark.desktop"; }
  static ino_t inode(const fs::path& file) {
    struct stat st {};
    return ::stat(file.c_str(), &st) == 0 ? st.st_ino : 0;
  }

  tovtest::TempDir prefix{"prefix"};
  tovtest::TempDir home{"home"};
  fs::path program;
};

TEST_F(AppPath, WritesAnEntryNamingTheProgramAndItsIconByPath) {
  EXPECT_EQ(registration(program).run(), Outcome::Written);
  const std::string dir = prefix.path().string();
  EXPECT_EQ(tovtest::readBytes(entry()), "[Desktop Entry]\nType=Application\nName=Quillmark\nExec=" + dir +
                                             "/bin/quillmark %f\nIcon=" + dir +
                                             "/share/icons/hicolor/32x32/apps/quillmark.png\nTryExec=" + dir +
                                             "/bin/quillmark\n");
}

TEST_F(AppPath, RewritesOnlyWhenTheProgramHasMoved) {
  ASSERT_EQ(registration(program).run(), Outcome::Written);
  const ino_t written = inode(entry());
  EXPECT_EQ(registration(program).run(), Outcome::Unchanged);
  EXPECT_EQ(inode(entry()), written);  // not even rewritten in place

  tovtest::TempDir moved("moved with space");
  install(moved.path());
  ASSERT_EQ(registration(moved / "bin" / "quillmark").run(), Outcome::Written);
  const std::string text = tovtest::readBytes(entry());
  EXPECT_NE(text.find("Exec=\"" + moved.path().string() + "/bin/quillmark\" %f\n"), std::string::npos) << text;
  EXPECT_EQ(text.find(prefix.path().string()), std::string::npos);
}

TEST_F(AppPath, NothingWhereTheDesktopFindsTheProgramAlreadyOrInABuildTree) {
  EXPECT_EQ(registration(program, {"/usr/share", prefix / "share" / "."}).run(), Outcome::NotNeeded);
  tovtest::writeBytes(prefix / "CMakeCache.txt", "");
  EXPECT_EQ(registration(program).run(), Outcome::NotNeeded);
  EXPECT_FALSE(fs::exists(entry()));
}

TEST_F(AppPath, FailuresAreReportedNeverThrown) {
  // The data home is a file: no directory can be made in it.
  tovtest::writeBytes(home / "data", "");
  EXPECT_EQ(registration(program).run(), Outcome::Failed);
  // A program whose name cannot be written in an entry.
  tovtest::TempDir odd("odd");
  install(odd / "line\nbreak");
  EXPECT_EQ(AppPathRegistration(odd / "line\nbreak" / "bin" / "quillmark", odd / "line\nbreak" / "share",
                                home / "other", {})
                .run(),
            Outcome::Failed);
  EXPECT_FALSE(fs::exists(home / "other"));
}

TEST_F(AppPath, AProgramInstalledWithoutAnEntryRegistersNothing) {
  const char* dataHome = std::getenv("XDG_DATA_HOME");
  ASSERT_NE(dataHome, nullptr);
  EXPECT_TRUE(asRegisterAppPath());
  EXPECT_FALSE(fs::exists(fs::path(dataHome) / "applications"));
}

}  // namespace
}  // namespace tov
