// The shell's answers about real files: names, types and attributes, icons
// from the installed theme and from themes made here, the system image
// list, and what a missing theme, a missing module or hostile files do.
#include "platform/ShellFileInfo.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "ScopedEnv.h"
#include "TempDir.h"
#include "platform/DesktopModule.h"
#include "platform/SystemImageList.h"
#include "platform/Utf.h"
#include "platform/WinError.h"

namespace tovtest {
namespace {

namespace p = tov::platform;
using p::ShFileInfo;

constexpr std::uint32_t kDefaultAttributes =
    p::kSfgaoFileSystem | p::kSfgaoCanCopy | p::kSfgaoCanMove | p::kSfgaoCanRename | p::kSfgaoCanDelete |
    p::kSfgaoCanLink | p::kSfgaoHasPropSheet;

bool hasAdwaita() { return std::filesystem::exists("/usr/share/icons/Adwaita/index.theme"); }

bool opaqueSomewhere(const p::IconPixels& icon) {
  for (std::size_t i = 3; i < icon.rgba.size(); i += 4) {
    if (icon.rgba[i] == 255) return true;
  }
  return false;
}

struct Pixel {
  int r, g, b, a;
};
Pixel pixelAt(const p::IconPixels& icon, int x, int y) {
  const std::uint8_t* q = icon.rgba.data() + (static_cast<std::size_t>(y) * icon.width + x) * 4;
  return {q[0], q[1], q[2], q[3]};
}

class Shell : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!p::DesktopModule::instance()) GTEST_SKIP() << "no desktop module: " << p::DesktopModule::problem();
  }

  std::u16string make(const std::string& name, const std::string& content = "hello\n") {
    writeBytes(dir / name, content);
    return u16(dir / name);
  }
  std::u16string path(const std::string& name) const { return u16(dir / name); }

  struct Answer {
    std::uint32_t result;
    ShFileInfo info;
  };
  static Answer ask(std::u16string_view name, std::uint32_t flags) {
    Answer a;
    a.result = p::SHGetFileInfoW(name, a.info, flags);
    return a;
  }
  static std::u16string typeName(std::u16string_view name) { return ask(name, p::kShgfiTypeName).info.szTypeName; }
  static std::uint32_t attributes(std::u16string_view name) { return ask(name, p::kShgfiAttributes).info.dwAttributes; }
  static std::int32_t iconIndex(std::u16string_view name, std::uint32_t more = 0) {
    return ask(name, p::kShgfiSysIconIndex | more).info.iIcon;
  }
  // The icon's pixels; the handle is taken over, as the library does.
  static p::IconPixels icon(std::u16string_view name, std::uint32_t flags = 0) {
    const Answer a = ask(name, p::kShgfiIcon | flags);
    if (a.result == 0) return {};
    return p::takeIcon(a.info.hIcon).value_or(p::IconPixels{});
  }

  // Untranslated descriptions, whatever the machine's language.
  ScopedEnv language{"LANGUAGE", "C"};
  ScopedEnv theme{"TOVAPPS_ICON_THEME", nullptr};
  TempDir dir{"shell"};
};

TEST_F(Shell, TextFileNamesTypeAndAttributes) {
  const std::u16string notes = make("notes.txt");
  const Answer display = ask(notes, p::kShgfiDisplayName);
  EXPECT_EQ(display.result, 1u);
  EXPECT_EQ(display.info.szDisplayName, u"notes.txt");
  EXPECT_EQ(typeName(notes), u"plain text document");
  EXPECT_EQ(attributes(notes), kDefaultAttributes | p::kSfgaoStream);
  EXPECT_EQ(typeName(make("picture.png", "\x89PNG\r\n\x1a\n")), u"PNG image");
  EXPECT_EQ(typeName(u"/bin/sh"), u"executable");
  // The content decides where the name does not.
  EXPECT_EQ(typeName(make("notes", "just words\n")), u"plain text document");
  EXPECT_EQ(typeName(make("image", "\x89PNG\r\n\x1a\n")), u"PNG image");
  // An item changed in place, or replaced, is described anew.
  const std::u16string changing = make("changing", "plain words");
  EXPECT_EQ(typeName(changing), u"plain text document");
  {
    std::fstream f(dir / "changing", std::ios::in | std::ios::out | std::ios::binary);
    f.write("\x89PNG\r\n\x1a\n\0\0\0", 11);
  }
  EXPECT_EQ(typeName(changing), u"PNG image");
  writeBytes(dir / "other", "plain words");
  std::filesystem::rename(dir / "other", dir / "changing");
  EXPECT_EQ(typeName(changing), u"plain text document");
  // Only the fields asked for change.
  ShFileInfo info;
  info.szTypeName = u"kept";
  info.dwAttributes = 7;
  EXPECT_EQ(p::SHGetFileInfoW(notes, info, p::kShgfiDisplayName), 1u);
  EXPECT_EQ(info.szTypeName, u"kept");
  EXPECT_EQ(info.dwAttributes, 7u);
}

TEST_F(Shell, IconsFromTheThemeInBothSizes) {
  if (!hasAdwaita()) GTEST_SKIP() << "adwaita-icon-theme is not installed (tools/deps.sh)";
  const std::u16string notes = make("notes.txt");
  const Answer location = ask(notes, p::kShgfiIconLocation);
  EXPECT_EQ(location.result, 1u);
  const std::string file = p::toUtf8(location.info.szDisplayName);
  EXPECT_TRUE(file.starts_with("/usr/share/icons/")) << file;
  EXPECT_TRUE(std::filesystem::is_regular_file(file)) << file;
  EXPECT_NE(file.find("text-"), std::string::npos) << file;

  const Answer index = ask(notes, p::kShgfiSysIconIndex);
  EXPECT_EQ(index.result, p::SystemImageList::handle(false));
  EXPECT_GE(index.info.iIcon, 0);
  EXPECT_EQ(ask(notes, p::kShgfiSysIconIndex | p::kShgfiSmallIcon).result, p::SystemImageList::handle(true));

  const Answer large = ask(notes, p::kShgfiIcon);
  EXPECT_EQ(large.result, p::SystemImageList::handle(false));
  EXPECT_EQ(large.info.iIcon, index.info.iIcon);
  const p::IconPixels big = p::takeIcon(large.info.hIcon).value();
  EXPECT_EQ(big.width, 32);
  EXPECT_EQ(big.height, 32);
  EXPECT_TRUE(opaqueSomewhere(big));
  const p::IconPixels small = icon(notes, p::kShgfiSmallIcon);
  EXPECT_EQ(small.width, 16);
  EXPECT_TRUE(opaqueSomewhere(small));
  const p::IconPixels shellSize = icon(notes, p::kShgfiShellIconSize);
  EXPECT_EQ(shellSize.width, 32);
  EXPECT_EQ(shellSize.rgba, big.rgba);
}

TEST_F(Shell, TheImageListSharesIndexesByIcon) {
  if (!hasAdwaita()) GTEST_SKIP() << "adwaita-icon-theme is not installed";
  const std::int32_t a = iconIndex(make("a.txt")), b = iconIndex(make("b.txt"));
  const std::int32_t png = iconIndex(make("c.png", "\x89PNG\r\n\x1a\n"));
  std::filesystem::create_directory(dir / "sub");
  const std::int32_t folder = iconIndex(path("sub"));
  EXPECT_EQ(a, b);
  EXPECT_NE(a, png);
  EXPECT_NE(a, folder);
  EXPECT_NE(png, folder);

  const std::uint32_t large = p::SystemImageList::handle(false), small = p::SystemImageList::handle(true);
  EXPECT_NE(large, 0u);
  EXPECT_NE(large, small);
  EXPECT_GT(p::ImageList_GetImageCount(large), std::max({a, png, folder}));
  EXPECT_EQ(p::ImageList_GetImageCount(large), p::ImageList_GetImageCount(small));
  // The list's image at an index is the item's icon.
  const p::IconHandle fromList = p::ImageList_GetIcon(small, png, p::kIldNormal);
  ASSERT_NE(fromList, 0u);
  EXPECT_EQ(p::takeIcon(fromList)->rgba, icon(path("c.png"), p::kShgfiSmallIcon).rgba);
  EXPECT_EQ(p::ImageList_GetIcon(large, -1, 0), 0u);
  EXPECT_EQ(p::ImageList_GetIcon(large, p::ImageList_GetImageCount(large), 0), 0u);
  EXPECT_EQ(p::ImageList_GetIcon(large + small + 1000, 0, 0), 0u);
  EXPECT_EQ(p::ImageList_GetImageCount(0), 0);
}

TEST_F(Shell, FoldersOpenAndClosed) {
  std::filesystem::create_directory(dir / "empty");
  std::filesystem::create_directories(dir / "parent" / "child");
  EXPECT_EQ(typeName(path("empty")), u"folder");
  const std::uint32_t folder = kDefaultAttributes | p::kSfgaoFolder | p::kSfgaoFileSysAncestor | p::kSfgaoStorage |
                               p::kSfgaoStorageAncestor | p::kSfgaoDropTarget;
  EXPECT_EQ(attributes(path("empty")), folder);
  EXPECT_EQ(attributes(path("parent")), folder | p::kSfgaoHasSubfolder);
  std::filesystem::create_directory(dir / "files");
  writeBytes(dir / "files" / "x", "");
  EXPECT_EQ(attributes(path("files")) & p::kSfgaoHasSubfolder, 0u);
  std::filesystem::create_directory_symlink("../parent", dir / "files" / "up");
  EXPECT_NE(attributes(path("files")) & p::kSfgaoHasSubfolder, 0u) << "a link to a folder is a subfolder";
  EXPECT_EQ(p::toUtf8(ask(path("parent") + u"/", p::kShgfiDisplayName).info.szDisplayName), "parent");

  if (!hasAdwaita()) GTEST_SKIP() << "adwaita-icon-theme is not installed";
  EXPECT_NE(iconIndex(path("empty"), p::kShgfiOpenIcon), iconIndex(path("empty")));
  EXPECT_NE(icon(path("empty"), p::kShgfiOpenIcon).rgba, icon(path("empty")).rgba);
  // A file has no open form.
  const std::u16string notes = make("notes.txt");
  EXPECT_EQ(iconIndex(notes, p::kShgfiOpenIcon), iconIndex(notes));
  EXPECT_EQ(icon(notes, p::kShgfiOpenIcon).rgba, icon(notes).rgba);
}

TEST_F(Shell, SymbolicLinks) {
  make("target.txt");
  std::filesystem::create_symlink("target.txt", dir / "link.txt");
  std::filesystem::create_symlink("nowhere", dir / "broken");
  std::filesystem::create_directory(dir / "d");
  std::filesystem::create_directory_symlink("d", dir / "dlink");
  EXPECT_EQ(typeName(path("link.txt")), u"plain text document");
  EXPECT_EQ(attributes(path("link.txt")), kDefaultAttributes | p::kSfgaoStream | p::kSfgaoLink);
  // A link whose target is gone is still an item: the link itself.
  EXPECT_EQ(typeName(path("broken")), u"symbolic link");
  EXPECT_NE(attributes(path("broken")) & p::kSfgaoLink, 0u);
  EXPECT_EQ(attributes(path("broken")) & p::kSfgaoCanCopy, 0u);
  EXPECT_EQ(ask(path("broken"), p::kShgfiDisplayName).info.szDisplayName, u"broken");
  EXPECT_NE(attributes(path("dlink")) & (p::kSfgaoFolder | p::kSfgaoLink), 0u);
  EXPECT_EQ(typeName(path("dlink")), u"folder");
  // A loop of links is a broken link, not a hang.
  std::filesystem::create_symlink("loop2", dir / "loop1");
  std::filesystem::create_symlink("loop1", dir / "loop2");
  EXPECT_EQ(typeName(path("loop1")), u"symbolic link");
}

TEST_F(Shell, HiddenAndReadOnlyItems) {
  const std::u16string hidden = make(".profile");
  EXPECT_EQ(attributes(hidden) & (p::kSfgaoHidden | p::kSfgaoGhosted), p::kSfgaoHidden | p::kSfgaoGhosted);
  const std::u16string locked = make("locked.txt");
  std::filesystem::permissions(dir / "locked.txt", std::filesystem::perms::owner_read);
  EXPECT_NE(attributes(locked) & p::kSfgaoReadOnly, 0u) << "also for root";
  EXPECT_EQ(attributes(make("open.txt")) & (p::kSfgaoReadOnly | p::kSfgaoHidden), 0u);
  // A program takes dropped files.
  const std::u16string script = make("run.sh", "#!/bin/sh\n");
  std::filesystem::permissions(dir / "run.sh", std::filesystem::perms::owner_all);
  EXPECT_NE(attributes(script) & p::kSfgaoDropTarget, 0u);
  EXPECT_EQ(attributes(make("data.bin")) & p::kSfgaoDropTarget, 0u);
}

TEST_F(Shell, IconStatesLinkOverlayAndSelected) {
  if (!hasAdwaita()) GTEST_SKIP() << "adwaita-icon-theme is not installed";
  for (std::uint32_t size : {0u, p::kShgfiSmallIcon}) {
    const std::u16string notes = make("notes.txt");
    const p::IconPixels plain = icon(notes, size);
    const p::IconPixels linked = icon(notes, size | p::kShgfiLinkOverlay);
    const p::IconPixels selected = icon(notes, size | p::kShgfiSelected);
    ASSERT_FALSE(plain.empty());
    ASSERT_EQ(linked.width, plain.width);
    const int half = plain.width / 2;
    int changedInCorner = 0;
    for (int y = 0; y < plain.height; ++y) {
      for (int x = 0; x < plain.width; ++x) {
        const Pixel a = pixelAt(plain, x, y), l = pixelAt(linked, x, y), s = pixelAt(selected, x, y);
        const bool corner = x >= half && y >= half;
        if (!corner) {
          EXPECT_TRUE(a.r == l.r && a.g == l.g && a.b == l.b && a.a == l.a) << x << "," << y;
        }
        if (corner && (a.r != l.r || a.a != l.a)) ++changedInCorner;
        EXPECT_EQ(s.a, a.a);
        // Half-way to the selection blue.
        EXPECT_NEAR(s.r, (a.r + 0x35) / 2.0, 1.0);
        EXPECT_NEAR(s.b, (a.b + 0xE4) / 2.0, 1.0);
      }
    }
    EXPECT_GT(changedInCorner, half * half / 8) << "the link emblem covers the bottom right corner";
    EXPECT_EQ(iconIndex(notes), ask(notes, p::kShgfiIcon | p::kShgfiLinkOverlay | size).info.iIcon)
        << "states keep the icon's index";
  }
}

TEST_F(Shell, MissingItemsAndBadNames) {
  const auto failsWith = [](std::u16string_view name, std::uint32_t error) {
    ShFileInfo info;
    for (std::uint32_t flags : {p::kShgfiAttributes, p::kShgfiTypeName, p::kShgfiIcon, p::kShgfiExeType}) {
      p::SetLastError(0);
      EXPECT_EQ(p::SHGetFileInfoW(name, info, flags), 0u) << flags;
      if (flags != p::kShgfiExeType) {
        EXPECT_EQ(p::GetLastError(), error) << flags;
      }
    }
  };
  failsWith(path("missing.txt"), p::kErrorFileNotFound);
  failsWith(path("no/such/dir.txt"), p::kErrorPathNotFound);
  failsWith(u"", p::kErrorFileNotFound);
  failsWith(path("a") + std::u16string(1, u'\0') + u"b", p::kErrorInvalidName);
  make("file.txt");
  failsWith(path("file.txt") + u"/inside", p::kErrorPathNotFound);
  // Bytes that are not UTF-8 travel as U+DC80-U+DCFF and reach their own
  // file; a surrogate that stands for no byte names nothing.
  writeBytes(dir / "\xff\xfe.txt", "x");
  const std::u16string escaped = path("") + u"\xDCFF\xDCFE.txt";
  EXPECT_EQ(typeName(escaped), u"plain text document");
  EXPECT_NE(ask(escaped, p::kShgfiDisplayName).info.szDisplayName, u"");
  EXPECT_EQ(ask(escaped, p::kShgfiAttributes).info.dwAttributes & p::kSfgaoStream, p::kSfgaoStream);
  failsWith(path("") + u"\xD800.txt", p::kErrorInvalidName);
  // The longest name a file system takes.
  const std::u16string longest = make(std::string(251, 'n') + ".txt");
  EXPECT_EQ(typeName(longest), u"plain text document");
  EXPECT_EQ(ask(longest, p::kShgfiDisplayName).info.szDisplayName.size(), 255u);
  failsWith(longest + u"x", p::kErrorFilenameExcedRange);
}

TEST_F(Shell, DevicesPipesAndProcFilesDoNotBlock) {
  ASSERT_EQ(mkfifo((dir / "pipe").c_str(), 0600), 0);
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(typeName(path("pipe")), u"pipe");
  EXPECT_EQ(attributes(path("pipe")) & p::kSfgaoFolder, 0u);
  ShFileInfo info;
  EXPECT_EQ(p::SHGetFileInfoW(path("pipe"), info, p::kShgfiExeType), 0u);
  EXPECT_EQ(typeName(u"/dev/null"), u"character device");
  EXPECT_FALSE(typeName(u"/proc/self/status").empty());
  EXPECT_FALSE(typeName(u"/proc/self/fd/0").empty());
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));
  // The theme draws no device or pipe: they show the generic file's icon.
  if (!hasAdwaita()) return;
  const std::int32_t generic = iconIndex(make("data.unknown-kind", std::string("\0\1\2\3", 4)));
  EXPECT_GE(generic, 0);
  EXPECT_EQ(iconIndex(u"/dev/null"), generic);
  EXPECT_EQ(iconIndex(path("pipe")), generic);
  EXPECT_EQ(icon(u"/dev/null").width, 32);
  EXPECT_NE(iconIndex(path("")), generic) << "a folder keeps its own";
}

TEST_F(Shell, WithoutTheThemeTheRestIsStillAnswered) {
  const std::u16string notes = make("notes.txt");
  ASSERT_EQ(typeName(notes), u"plain text document");  // the type database is read now, as installed
  ScopedEnv noTheme("TOVAPPS_ICON_THEME", "NoSuchTheme");
  ScopedEnv noDirs("XDG_DATA_DIRS", (dir.path() / "nothing").c_str());
  const Answer index = ask(notes, p::kShgfiSysIconIndex);
  EXPECT_EQ(index.result, p::SystemImageList::handle(false));
  EXPECT_EQ(index.info.iIcon, -1);
  const Answer location = ask(notes, p::kShgfiIconLocation);
  EXPECT_EQ(location.result, 1u);
  EXPECT_EQ(location.info.szDisplayName, u"");
  const std::size_t live = p::liveIconCount();
  EXPECT_EQ(ask(notes, p::kShgfiIcon).result, 0u);
  EXPECT_EQ(p::liveIconCount(), live);
  EXPECT_EQ(typeName(notes), u"plain text document");
}

// A theme made here: an SVG icon, an inheritance loop, a pipe and a giant
// where icons should be, and no link emblem.
TEST_F(Shell, ThemesMadeHere) {
  const std::u16string notes = make("notes.txt");
  ASSERT_EQ(typeName(notes), u"plain text document");
  const std::filesystem::path root = dir.path() / "share" / "icons" / "Made";
  std::filesystem::create_directories(root / "scalable" / "mimetypes");
  std::filesystem::create_directories(root / "16x16" / "mimetypes");
  std::filesystem::create_directories(root / "32x32" / "mimetypes");
  writeBytes(root / "index.theme",
             "[Icon Theme]\nName=Made\nInherits=Made,Missing\n"
             "Directories=16x16/mimetypes,32x32/mimetypes,scalable/mimetypes,../../../../etc\n"
             "[16x16/mimetypes]\nSize=16\nType=Fixed\n"
             "[32x32/mimetypes]\nSize=32\nType=Fixed\n"
             "[scalable/mimetypes]\nSize=16\nMinSize=8\nMaxSize=512\nType=Scalable\n");
  writeBytes(root / "scalable" / "mimetypes" / "text-x-generic.svg",
             "<svg xmlns='http://www.w3.org/2000/svg' width='16' height='16'>"
             "<rect width='16' height='16' fill='#ff0000'/></svg>");
  ASSERT_EQ(mkfifo((root / "16x16" / "mimetypes" / "text-plain.png").c_str(), 0600), 0);
  // A PNG header claiming a picture far larger than any icon.
  writeBytes(root / "32x32" / "mimetypes" / "text-plain.png",
             std::string("\x89PNG\r\n\x1a\n\0\0\0\x0dIHDR\0\x01\x86\xa0\0\x01\x86\xa0\x08\x06\0\0\0", 29) +
                 std::string(4, '\0'));
  ScopedEnv made("TOVAPPS_ICON_THEME", "Made");
  ScopedEnv dirs("XDG_DATA_DIRS", (dir.path() / "share").c_str());

  // text-plain comes first in the type's icon names, but neither of its
  // files can be drawn: no icon, quickly.
  EXPECT_EQ(icon(notes).width, 0);
  EXPECT_EQ(icon(notes, p::kShgfiSmallIcon).width, 0);
  std::filesystem::remove(root / "16x16" / "mimetypes" / "text-plain.png");
  std::filesystem::remove(root / "32x32" / "mimetypes" / "text-plain.png");

  // Listings are read once per theme setting: a new setting reads anew.
  ScopedEnv again("XDG_DATA_DIRS", (dir.path() / "share" / ".." / "share").c_str());
  const Answer location = ask(notes, p::kShgfiIconLocation);
  EXPECT_EQ(p::toUtf8(location.info.szDisplayName).ends_with("/scalable/mimetypes/text-x-generic.svg"), true)
      << p::toUtf8(location.info.szDisplayName);
  for (std::uint32_t size : {0u, p::kShgfiSmallIcon}) {
    const p::IconPixels drawn = icon(notes, size);
    ASSERT_EQ(drawn.width, size ? 16 : 32);
    const Pixel middle = pixelAt(drawn, drawn.width / 2, drawn.height / 2);
    EXPECT_EQ(middle.r, 255);
    EXPECT_EQ(middle.g, 0);
    EXPECT_EQ(middle.a, 255);
    // No emblem in this theme or hicolor: the one drawn here, framed in grey.
    const p::IconPixels linked = icon(notes, size | p::kShgfiLinkOverlay);
    const Pixel corner = pixelAt(linked, linked.width - 1, linked.height - 1);
    EXPECT_EQ(corner.r, 64);
    EXPECT_EQ(corner.a, 255);
  }
}

TEST(IconHandles, LifeOfAHandle) {
  p::IconPixels pixels{2, 1, tov::ByteVector{1, 2, 3, 4, 5, 6, 7, 8}};
  const std::size_t live = p::liveIconCount();
  const p::IconHandle a = p::CreateIconFromPixels(pixels), b = p::CreateIconFromPixels(pixels);
  ASSERT_NE(a, 0u);
  EXPECT_NE(a, b);
  EXPECT_EQ(p::liveIconCount(), live + 2);
  EXPECT_EQ(p::iconPixels(a)->rgba, pixels.rgba);
  EXPECT_EQ(p::takeIcon(a)->rgba, pixels.rgba);
  EXPECT_FALSE(p::takeIcon(a)) << "taken over once";
  EXPECT_FALSE(p::DestroyIcon(a));
  EXPECT_TRUE(p::DestroyIcon(b));
  EXPECT_FALSE(p::DestroyIcon(b));
  EXPECT_EQ(p::liveIconCount(), live);
  EXPECT_FALSE(p::DestroyIcon(p::SystemImageList::handle(false))) << "an image list is no icon";
  EXPECT_FALSE(p::takeIcon(p::SystemImageList::handle(true)));
  EXPECT_EQ(p::CreateIconFromPixels({}), 0u);
  EXPECT_EQ(p::CreateIconFromPixels({3, 3, tov::ByteVector(4, 0)}), 0u) << "pixels that do not fill the size";
}

// Each in a process of its own, since the module is loaded once per run.
class ShellWithoutModule : public ::testing::Test {
 protected:
  void SetUp() override { GTEST_FLAG_SET(death_test_style, "threadsafe"); }
};

TEST_F(ShellWithoutModule, MissingModuleFailsTheDesktopQuestionsOnly) {
  EXPECT_EXIT(
      {
        setenv("TOVAPPS_DESKTOP_MODULE", "/nonexistent/libtovdesktop-gio.so", 1);
        ShFileInfo info;
        const bool typeFails = p::SHGetFileInfoW(u"/bin/sh", info, p::kShgfiTypeName) == 0 && p::GetLastError() == 126;
        const bool attributesWork = p::SHGetFileInfoW(u"/bin/sh", info, p::kShgfiAttributes) == 1;
        const bool said = p::DesktopModule::problem().find("/nonexistent/libtovdesktop-gio.so") != std::string::npos;
        std::exit(typeFails && attributesWork && said ? 0 : 1);
      },
      ::testing::ExitedWithCode(0), "");
}

TEST_F(ShellWithoutModule, AForeignOrUnsafeModuleIsRefused) {
  EXPECT_EXIT(
      {
        setenv("TOVAPPS_DESKTOP_MODULE", "/usr/lib/x86_64-linux-gnu/libz.so.1", 1);
        std::exit(!p::DesktopModule::instance() &&
                          p::DesktopModule::problem().find("another build") != std::string::npos
                      ? 0
                      : 1);
      },
      ::testing::ExitedWithCode(0), "");
  EXPECT_EXIT(
      {
        TempDir open("openmodule");
        std::filesystem::permissions(open.path(), std::filesystem::perms::all);
        std::filesystem::copy_file("/usr/lib/x86_64-linux-gnu/libz.so.1", open.path() / "m.so");
        setenv("TOVAPPS_DESKTOP_MODULE", (open.path() / "m.so").c_str(), 1);
        std::exit(!p::DesktopModule::instance() &&
                          p::DesktopModule::problem().find("writable") != std::string::npos
                      ? 0
                      : 1);
      },
      ::testing::ExitedWithCode(0), "");
}

}  // namespace
}  // namespace tovtest
