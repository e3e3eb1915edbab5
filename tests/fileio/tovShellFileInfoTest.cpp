// tovShellFileInfo: which questions it asks the shell and when, what it
// keeps of the answers, its fallback icons; then real files through the
// platform's shell.
#include "fileio/tovShellFileInfo.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "ExecutableImages.h"
#include "ScopedEnv.h"
#include "TempDir.h"
#include "platform/DesktopModule.h"
#include "platform/IconHandles.h"
#include "support/IconFunctions.h"

namespace tovtest {
namespace {

namespace p = tov::platform;
using ferrule::ShellIconKind;
using ferrule::tovShellFileInfo;

constexpr ShellIconKind kAllKinds[] = {
    ShellIconKind::Icon,         ShellIconKind::SmallIcon,         ShellIconKind::LinkOverlayIcon,
    ShellIconKind::LinkOverlaySmallIcon, ShellIconKind::OpenIcon,  ShellIconKind::OpenSmallIcon,
    ShellIconKind::SelectedIcon, ShellIconKind::SelectedSmallIcon, ShellIconKind::ShellSizeIcon};

// A shell that answers from a script and writes down every question.
struct FakeShell {
  std::vector<std::uint32_t> asked;
  std::uint32_t failOn = 0;     // the flags whose question fails
  std::uint32_t exeType = 0;
  bool giveIcons = true;

  tovShellFileInfo::ShellCall call() {
    return [this](std::u16string_view path, p::ShFileInfo& r, std::uint32_t flags) -> std::uint32_t {
      asked.push_back(flags);
      EXPECT_EQ(path, u"item");
      if (flags == failOn) return 0;
      switch (flags) {
        case p::kShgfiAttributes: r.dwAttributes = 0x80000123; return 1;
        case p::kShgfiDisplayName: r.szDisplayName = u"Item"; return 1;
        case p::kShgfiIconLocation: r.szDisplayName = u"/icons/item.png"; r.iIcon = 9; return 1;
        case p::kShgfiSysIconIndex: r.iIcon = 4; return 0xABCD;
        case p::kShgfiTypeName: r.szTypeName = u"item kind"; return 1;
        case p::kShgfiExeType: return exeType;
      }
      if (!(flags & p::kShgfiIcon) || !giveIcons) return 0;
      const int side = (flags & p::kShgfiSmallIcon) ? 16 : 32;
      // Each icon's first pixel tells which flags made it.
      tov::ByteVector rgba(static_cast<std::size_t>(side) * side * 4, 0);
      rgba[0] = static_cast<std::uint8_t>(flags);
      rgba[1] = static_cast<std::uint8_t>(flags >> 8);
      rgba[2] = static_cast<std::uint8_t>(flags >> 16);
      r.hIcon = p::CreateIconFromPixels({side, side, std::move(rgba)});
      r.iIcon = 7;
      return 0xABCD;
    };
  }
};

void expectEmpty(tovShellFileInfo& info) {
  EXPECT_EQ(info.FileName(), u"");
  EXPECT_EQ(info.DisplayName(), u"");
  EXPECT_EQ(info.TypeName(), u"");
  EXPECT_EQ(info.IconLocation(), u"");
  EXPECT_EQ(info.Attributes(), 0u);
  EXPECT_EQ(info.SystemIconIndex(), 0);
  EXPECT_EQ(info.hSystemImageList(), 0u);
  EXPECT_EQ(info.EXEType(), nullptr);
  for (ShellIconKind kind : kAllKinds) EXPECT_EQ(info.icon(kind), nullptr);
}

TEST(ShellFileInfoCore, ReadFileAsksFiveQuestionsInOrder) {
  FakeShell shell;
  tovShellFileInfo info(shell.call());
  expectEmpty(info);
  EXPECT_TRUE(shell.asked.empty());
  ASSERT_TRUE(info.ReadFile(u"item"));
  EXPECT_EQ(shell.asked, (std::vector<std::uint32_t>{p::kShgfiAttributes, p::kShgfiDisplayName, p::kShgfiIconLocation,
                                                     p::kShgfiSysIconIndex, p::kShgfiTypeName}));
  EXPECT_EQ(info.FileName(), u"item");
  EXPECT_EQ(info.Attributes(), 0x80000123u);
  EXPECT_EQ(info.DisplayName(), u"Item");
  EXPECT_EQ(info.IconLocation(), u"/icons/item.png");
  EXPECT_EQ(info.SystemIconIndex(), 4);
  EXPECT_EQ(info.hSystemImageList(), 0xABCDu);
  EXPECT_EQ(info.TypeName(), u"item kind");
}

TEST(ShellFileInfoCore, AnyUnansweredQuestionEmptiesTheObject) {
  const std::uint32_t questions[] = {p::kShgfiAttributes, p::kShgfiDisplayName, p::kShgfiIconLocation,
                                     p::kShgfiSysIconIndex, p::kShgfiTypeName};
  for (std::size_t i = 0; i < std::size(questions); ++i) {
    FakeShell shell;
    tovShellFileInfo info(shell.call());
    shell.failOn = 0;
    ASSERT_TRUE(info.ReadFile(u"item"));
    info.icon(ShellIconKind::Icon);
    shell.asked.clear();
    shell.failOn = questions[i];
    EXPECT_FALSE(info.ReadFile(u"item"));
    EXPECT_EQ(shell.asked.size(), i + 1) << "it stops at the first failure";
    expectEmpty(info);
  }
}

TEST(ShellFileInfoCore, ProgramKindAskedOnceAfterEachRead) {
  FakeShell shell;
  tovShellFileInfo info(shell.call());
  ASSERT_TRUE(info.ReadFile(u"item"));
  shell.asked.clear();
  shell.exeType = 0x04004550;
  auto exe = info.EXEType();
  ASSERT_NE(exe, nullptr);
  EXPECT_EQ(exe->Signature(), u"PE");
  EXPECT_EQ(exe->OSVersionMajor(), 4);
  EXPECT_EQ(exe->OSVersionMinor(), 0);
  EXPECT_EQ(info.EXEType(), exe);
  EXPECT_EQ(shell.asked, std::vector<std::uint32_t>{p::kShgfiExeType});
  ASSERT_TRUE(info.ReadFile(u"item"));
  shell.exeType = 0;
  const auto none = info.EXEType();
  EXPECT_NE(none, exe);
  EXPECT_EQ(none->Signature(), u"");
  EXPECT_EQ(exe->Signature(), u"PE") << "what was handed out keeps its values";
}

TEST(ShellFileInfoCore, ExeTypeValuesSplitAsTheShellEncodesThem) {
  struct Case {
    std::uint32_t value;
    std::u16string signature;
    int major, minor;
  } cases[] = {{0x04004550, u"PE", 4, 0},    {0x00004550, u"PE", 0, 0}, {0x030A454E, u"NE", 3, 10},
               {0x00005A4D, u"MZ", 0, 0},    {0, u"", 0, 0},            {0xFFFF4550, u"PE", 255, 255},
               {0x05000000, u"", 5, 0}};
  for (const Case& c : cases) {
    const ferrule::ShellFileEXE exe = ferrule::ShellFileEXE::fromExeType(c.value);
    EXPECT_EQ(exe.Signature(), c.signature) << std::hex << c.value;
    EXPECT_EQ(exe.OSVersionMajor(), c.major) << std::hex << c.value;
    EXPECT_EQ(exe.OSVersionMinor(), c.minor) << std::hex << c.value;
  }
}

TEST(ShellFileInfoCore, EachIconAskedOnceWithItsFlagsAndKept) {
  FakeShell shell;
  tovShellFileInfo info(shell.call());
  ASSERT_TRUE(info.ReadFile(u"item"));
  const std::size_t live = p::liveIconCount();
  for (ShellIconKind kind : kAllKinds) {
    shell.asked.clear();
    const auto icon = info.icon(kind);
    ASSERT_NE(icon, nullptr);
    EXPECT_EQ(shell.asked, std::vector<std::uint32_t>{tovShellFileInfo::iconFlags(kind)});
    EXPECT_EQ(icon->Index(), 7);
    const std::uint32_t flags = tovShellFileInfo::iconFlags(kind);
    EXPECT_EQ(icon->Icon().width(), (flags & p::kShgfiSmallIcon) ? 16 : 32);
    EXPECT_EQ(icon->Icon().pixel(0, 0).r, static_cast<std::uint8_t>(flags)) << "the icon of its own question";
    EXPECT_EQ(icon->Icon().pixel(0, 0).g, static_cast<std::uint8_t>(flags >> 8));
    EXPECT_EQ(icon->Icon().pixel(0, 0).b, static_cast<std::uint8_t>(flags >> 16));
    EXPECT_EQ(info.icon(kind), icon);
    EXPECT_EQ(shell.asked.size(), 1u);
  }
  EXPECT_EQ(p::liveIconCount(), live) << "every handle the shell gave went to a picture";
  const auto before = info.icon(ShellIconKind::Icon);
  ASSERT_TRUE(info.ReadFile(u"item"));
  EXPECT_NE(info.icon(ShellIconKind::Icon), before);
}

TEST(ShellFileInfoCore, NoIconFromTheShellGivesTheFallbackOnce) {
  FakeShell shell;
  shell.giveIcons = false;
  tovShellFileInfo info(shell.call());
  ASSERT_TRUE(info.ReadFile(u"item"));
  for (ShellIconKind kind : kAllKinds) {
    shell.asked.clear();
    const auto icon = info.icon(kind);
    ASSERT_NE(icon, nullptr);
    EXPECT_EQ(icon->Index(), -1);
    const bool small = tovShellFileInfo::isSmall(kind);
    EXPECT_TRUE(icon->Icon() == (small ? tov::asLoadResIconSmall(u"") : tov::asLoadResIcon(u"")));
    EXPECT_EQ(info.icon(kind), icon);
    EXPECT_EQ(shell.asked.size(), 1u) << "the fallback is kept like a real icon";
  }
}

TEST(ShellFileInfoCore, AHandleThatHoldsNoIconGivesTheFallback) {
  tovShellFileInfo info([](std::u16string_view, p::ShFileInfo& r, std::uint32_t flags) -> std::uint32_t {
    if (flags & p::kShgfiIcon) {
      r.hIcon = 0xDEAD;  // nothing the platform handed out
      r.iIcon = 3;
    }
    return 1;
  });
  ASSERT_TRUE(info.ReadFile(u"x"));
  EXPECT_EQ(info.icon(ShellIconKind::Icon)->Index(), -1);
}

class ShellFileInfoOnFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!p::DesktopModule::instance()) GTEST_SKIP() << "no desktop module: " << p::DesktopModule::problem();
  }
  std::u16string write(const std::string& name, const std::vector<std::uint8_t>& bytes) {
    writeBytes(dir / name, std::string(bytes.begin(), bytes.end()));
    return u16(dir / name);
  }
  ScopedEnv language{"LANGUAGE", "C"};
  TempDir dir{"shellinfo"};
};

TEST_F(ShellFileInfoOnFiles, CraftedProgramsAndText) {
  tovShellFileInfo info;
  struct Case {
    std::vector<std::uint8_t> bytes;
    std::u16string signature;
    int major, minor;
  } cases[] = {{dosImage(), u"MZ", 0, 0},
               {neImage({.targetOs = 2, .expectedWindows = 0x030A}), u"NE", 3, 10},
               {peImage({.subsystem = 2, .major = 4, .minor = 0}), u"PE", 4, 0},
               {peImage({.subsystem = 3}), u"PE", 0, 0},
               {{'t', 'e', 'x', 't'}, u"", 0, 0}};
  int n = 0;
  for (const Case& c : cases) {
    const std::u16string name = write("prog" + std::to_string(n++) + ".exe", c.bytes);
    ASSERT_TRUE(info.ReadFile(name));
    EXPECT_EQ(info.FileName(), name);
    const auto exe = info.EXEType();
    EXPECT_EQ(exe->Signature(), c.signature);
    EXPECT_EQ(exe->OSVersionMajor(), c.major);
    EXPECT_EQ(exe->OSVersionMinor(), c.minor);
  }
  const std::u16string notes = write("notes.txt", {'h', 'i', '\n'});
  ASSERT_TRUE(info.ReadFile(notes));
  EXPECT_EQ(info.DisplayName(), u"notes.txt");
  EXPECT_EQ(info.TypeName(), u"plain text document");
  for (ShellIconKind kind : kAllKinds) {
    const auto icon = info.icon(kind);
    EXPECT_FALSE(icon->Icon().empty());
    EXPECT_EQ(icon->Icon().width(), tovShellFileInfo::isSmall(kind) ? 16 : 32);
  }
  EXPECT_FALSE(info.ReadFile(u16(dir / "missing.txt")));
  EXPECT_EQ(info.FileName(), u"");
  EXPECT_EQ(info.EXEType(), nullptr);
}

// Names go to the shell as given, never through the ANSI code page: a name
// it cannot hold reaches its own item, not the one its "?" form names.
TEST_F(ShellFileInfoOnFiles, NamesOutsideTheAnsiCodePageReachTheirOwnItem) {
  ScopedEnv western("TOVAPPS_ACP", "1252");
  const std::u16string own = write("\xE6\x97\xA5\xE6\x9C\xAC.txt", {'a'});
  write("??.txt", {'b'});
  tovShellFileInfo info;
  ASSERT_TRUE(info.ReadFile(own));
  EXPECT_EQ(info.FileName(), own);
  EXPECT_EQ(info.DisplayName(), u"\u65E5\u672C.txt");
  std::filesystem::remove(dir / "??.txt");
  EXPECT_TRUE(info.ReadFile(own));
}

// Real Windows programs of both kinds, as the cross compiler builds them.
TEST_F(ShellFileInfoOnFiles, ConsoleAndWindowedPrograms) {
#ifdef TOV_WINDOWS_PROGRAMS
  tovShellFileInfo info;
  const std::u16string dir = u16(std::filesystem::path(TOV_WINDOWS_PROGRAMS));
  ASSERT_TRUE(info.ReadFile(dir + u"/gui.exe"));
  EXPECT_EQ(info.TypeName(), u"DOS/Windows executable");
  const auto gui = info.EXEType();
  EXPECT_EQ(gui->Signature(), u"PE");
  EXPECT_EQ(gui->OSVersionMajor(), 4);
  EXPECT_EQ(gui->OSVersionMinor(), 0);
  EXPECT_EQ(info.EXEType(), gui);
  ASSERT_TRUE(info.ReadFile(dir + u"/console.exe"));
  const auto console = info.EXEType();
  EXPECT_NE(console, gui);
  EXPECT_EQ(console->Signature(), u"PE");
  EXPECT_EQ(console->OSVersionMajor(), 0);
  EXPECT_EQ(console->OSVersionMinor(), 0);
  EXPECT_EQ(gui->OSVersionMajor(), 4) << "an object handed out keeps its values";
  EXPECT_GE(info.icon(ShellIconKind::Icon)->Index(), 0);
#else
  GTEST_SKIP() << "the mingw-w64 cross compiler is not installed (tools/deps.sh)";
#endif
}

}  // namespace
}  // namespace tovtest
