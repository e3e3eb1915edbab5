// Version resources read from PE32, PE32+ and NE images built byte by byte,
// queried by path, and every way an untrusted image can be wrong.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "CodePageOverride.h"
#include "ScopedEnv.h"
#include "TempDir.h"
#include "VersionImages.h"
#include "platform/ExecutableImage.h"
#include "platform/VersionInfo.h"
#include "platform/VersionTree.h"
#include "platform/WinError.h"

namespace tov::platform {
namespace {

using namespace tovtest;

std::span<const std::uint8_t> span(const Bytes& b) {
  return {reinterpret_cast<const std::uint8_t*>(b.data()), b.size()};
}

std::u16string textAt(const Bytes& data, std::u16string_view path) {
  VersionValue v;
  if (!VerQueryValueW(span(data), path, v) || !v.text) return u"<none>";
  std::u16string s;
  for (std::size_t i = 0; i < v.length; ++i) {
    const char16_t c = static_cast<char16_t>(v.bytes[2 * i] | (v.bytes[2 * i + 1] << 8));
    if (c == 0) break;
    s.push_back(c);
  }
  return s;
}

class VersionResourceTest : public ::testing::Test {
 protected:
  TempDir dir_{"ver"};
  ScopedEnv language_{"LC_ALL", "en_US.UTF-8"};

  std::u16string write(const std::string& name, const Bytes& bytes) {
    writeBytes(dir_ / name, bytes);
    return u16(dir_ / name);
  }
  // The version data as the platform hands it out, or the error code.
  std::uint32_t read(const std::u16string& file, Bytes& out) {
    ByteVector data;
    const std::uint32_t err = readFileVersionInfo(file, data);
    out.assign(data.begin(), data.end());
    return err;
  }
};

const Block kTree = simpleVersionInfo(fixedInfo(0x00050001, 0x0A281588, 0x00050001, 0), u"040904B0",
                                      {{u"CompanyName", u"TOVapps"}, {u"FileVersion", u"5.1.2600.5512"}},
                                      {{0x0409, 1200}});

TEST_F(VersionResourceTest, Pe32AndPe32PlusGiveTheResourceAsStored) {
  const Bytes tree = encodeBlock(kTree, true);
  for (bool plus : {false, true}) {
    const std::u16string file = write(plus ? "a64.dll" : "a32.dll", peImage(tree, plus));
    Bytes data;
    ASSERT_EQ(read(file, data), kErrorSuccess);
    EXPECT_EQ(data, tree);
    EXPECT_EQ(GetFileVersionInfoSizeW(file), tree.size());
    std::vector<std::uint8_t> copy(tree.size() + 8, 0xAA);
    ASSERT_TRUE(GetFileVersionInfoW(file, 0, copy));
    EXPECT_EQ(Bytes(copy.begin(), copy.begin() + tree.size()), tree);
    EXPECT_EQ(copy.back(), 0) << "the rest of the caller's buffer is cleared";
  }
}

TEST_F(VersionResourceTest, QueriesByPath) {
  const Bytes tree = encodeBlock(kTree, true);
  VersionValue root;
  ASSERT_TRUE(VerQueryValueW(span(tree), u"\\", root));
  EXPECT_FALSE(root.text);
  ASSERT_EQ(root.length, 52u);
  EXPECT_EQ(root.bytes[0], 0xBD);
  EXPECT_TRUE(VerQueryValueW(span(tree), u"", root));
  EXPECT_EQ(root.length, 52u);

  VersionValue translation;
  ASSERT_TRUE(VerQueryValueW(span(tree), u"\\VarFileInfo\\Translation", translation));
  EXPECT_EQ(translation.length, 4u);
  EXPECT_EQ(Bytes(translation.bytes.begin(), translation.bytes.end()), Bytes("\x09\x04\xB0\x04", 4));

  EXPECT_EQ(textAt(tree, u"\\StringFileInfo\\040904B0\\CompanyName"), u"TOVapps");
  // Keys compare without regard to case, and doubled separators are
  // skipped, as the platform's own query does.
  EXPECT_EQ(textAt(tree, u"\\stringfileinfo\\040904b0\\COMPANYNAME"), u"TOVapps");
  EXPECT_EQ(textAt(tree, u"StringFileInfo\\\\040904B0\\FileVersion"), u"5.1.2600.5512");
  VersionValue none;
  EXPECT_FALSE(VerQueryValueW(span(tree), u"\\StringFileInfo\\040904B0\\Missing", none));
  EXPECT_EQ(GetLastError(), kErrorResourceTypeNotFound);
  EXPECT_FALSE(VerQueryValueW(span(tree), u"\\StringFileInfo\\041904E3\\CompanyName", none));
  EXPECT_TRUE(none.bytes.empty());
}

TEST_F(VersionResourceTest, SixteenBitImagesAreWidenedWithTheAnsiCodePage) {
  Block tree = kTree;
  tree.children[0].children[0].children.push_back(Block{u"Comments", {}, u"caf\u00E9", {}, {}, {}});
  const Bytes narrow = encodeBlock(tree, false);
  const std::u16string file = write("old.exe", neImage(narrow));
  {
    CodePageOverride western("1252", "850");
    Bytes data;
    ASSERT_EQ(read(file, data), kErrorSuccess);
    EXPECT_EQ(VersionTree::layoutOf(span(data), VersionLayout::Narrow), VersionLayout::Wide);
    EXPECT_EQ(textAt(data, u"\\StringFileInfo\\040904B0\\Comments"), u"caf\u00E9");
    EXPECT_EQ(textAt(data, u"\\StringFileInfo\\040904B0\\CompanyName"), u"TOVapps");
    VersionValue root, translation;
    ASSERT_TRUE(VerQueryValueW(span(data), u"\\", root));
    ASSERT_EQ(root.length, 52u);
    EXPECT_EQ(Bytes(root.bytes.begin(), root.bytes.end()), fixedInfoBytes(fixedInfo(0x00050001, 0x0A281588, 0x00050001, 0)));
    ASSERT_TRUE(VerQueryValueW(span(data), u"\\VarFileInfo\\Translation", translation));
    EXPECT_EQ(Bytes(translation.bytes.begin(), translation.bytes.end()), Bytes("\x09\x04\xB0\x04", 4));
  }
  {
    // The same byte is another letter in another code page.
    CodePageOverride cyrillic("1251", "866");
    Bytes data;
    ASSERT_EQ(read(file, data), kErrorSuccess);
    EXPECT_EQ(textAt(data, u"\\StringFileInfo\\040904B0\\Comments"), u"caf\u0439");
  }
}

TEST_F(VersionResourceTest, TheCopyInTheUsersLanguageIsTaken) {
  auto tree = [](std::u16string company) {
    return encodeBlock(simpleVersionInfo(fixedInfo(1, 0, 1, 0), u"040904B0", {{u"CompanyName", company}}, {{0x0409, 1200}}),
                       true);
  };
  const std::u16string file =
      write("multi.dll", peImage({{0x0407, tree(u"de")}, {0x0019, tree(u"ru")}, {0x0409, tree(u"us")}}));
  Bytes data;
  ASSERT_EQ(read(file, data), kErrorSuccess);
  EXPECT_EQ(textAt(data, u"StringFileInfo\\040904B0\\CompanyName"), u"us");
  {
    ScopedEnv russian("LC_ALL", "ru_RU.UTF-8");  // no 0x0419 copy: the neutral Russian one
    ASSERT_EQ(read(file, data), kErrorSuccess);
    EXPECT_EQ(textAt(data, u"StringFileInfo\\040904B0\\CompanyName"), u"ru");
  }
  {
    ScopedEnv french("LC_ALL", "fr_FR.UTF-8");  // neither French nor neutral: English
    ASSERT_EQ(read(file, data), kErrorSuccess);
    EXPECT_EQ(textAt(data, u"StringFileInfo\\040904B0\\CompanyName"), u"us");
  }
  const std::u16string noEnglish = write("de.dll", peImage({{0x0407, tree(u"de")}, {0x040C, tree(u"fr")}}));
  ASSERT_EQ(read(noEnglish, data), kErrorSuccess);
  EXPECT_EQ(textAt(data, u"StringFileInfo\\040904B0\\CompanyName"), u"de") << "else the first copy";
  const std::u16string neutral = write("n.dll", peImage({{0x0409, tree(u"us")}, {0x0000, tree(u"neutral")}}));
  ASSERT_EQ(read(neutral, data), kErrorSuccess);
  EXPECT_EQ(textAt(data, u"StringFileInfo\\040904B0\\CompanyName"), u"neutral");
}

TEST_F(VersionResourceTest, FilesWithoutVersionResourceFailWithTheirCode) {
  Bytes data;
  EXPECT_EQ(read(u16(dir_ / "missing.dll"), data), kErrorFileNotFound);
  EXPECT_NE(read(u16(dir_ / "no" / "such.dll"), data), kErrorSuccess);
  EXPECT_EQ(read(u16(dir_.path()), data), kErrorAccessDenied);
  EXPECT_EQ(read(write("empty.dll", ""), data), kErrorBadFormat);
  EXPECT_EQ(read(write("text.exe", "MZ but nothing else"), data), kErrorBadFormat);
  EXPECT_EQ(read(write("icon.dll", peImage({{0x0409, "icon"}}, false, 3)), data), kErrorResourceTypeNotFound);
  EXPECT_EQ(read(write("two.dll", peImage({{0x0409, "data"}}, false, 16, 2)), data), kErrorResourceNameNotFound);
  EXPECT_EQ(read(write("font.fon", neImage("bitmap", 8)), data), kErrorResourceTypeNotFound);
  EXPECT_EQ(GetFileVersionInfoSizeW(u16(dir_ / "missing.dll")), 0u);
  EXPECT_EQ(GetLastError(), kErrorFileNotFound);
  std::vector<std::uint8_t> buf(16, 0xAA);
  EXPECT_FALSE(GetFileVersionInfoW(u16(dir_ / "missing.dll"), 0, buf));

  // A PE image whose resource entry in the header is absent.
  Bytes bare = peImage(encodeBlock(kTree, true));
  setU32(bare, 0x40 + 24 + 92, 2);  // two data directories: no resource entry
  EXPECT_EQ(read(write("bare.dll", bare), data), kErrorResourceDataNotFound);
}

TEST_F(VersionResourceTest, ResourceDirectoriesThatLoopEndCleanly) {
  // The layout peImage() writes: root at 0, type directory at 24, name
  // directory at 48, each entry's target 4 bytes after its identifier.
  constexpr std::size_t kRsrc = 0x200;
  const Bytes image = peImage(encodeBlock(kTree, true));
  Bytes data;
  Bytes loop = image;
  setU32(loop, kRsrc + 16 + 4, 0x80000000u);  // the version type leads back to the root
  EXPECT_EQ(read(write("loop1.dll", loop), data), kErrorResourceNameNotFound);
  loop = image;
  setU32(loop, kRsrc + 24 + 16 + 4, 0x80000000u | 24);  // the name leads back to its own directory
  EXPECT_EQ(read(write("loop2.dll", loop), data), kErrorResourceLangNotFound);
  loop = image;
  setU32(loop, kRsrc + 48 + 16 + 4, 0x80000000u | 48);  // the language copy is a directory again
  EXPECT_EQ(read(write("loop3.dll", loop), data), kErrorResourceLangNotFound);
  loop = image;
  setU16(loop, kRsrc + 14, 0xFFFF);  // far more entries than the section holds
  EXPECT_EQ(read(write("count.dll", loop), data), kErrorResourceDataNotFound);
}

TEST_F(VersionResourceTest, FifosAndDevicesAreNotRead) {
  const std::filesystem::path fifo = dir_ / "pipe.dll";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  Bytes data;
  // No writer ever comes: a read would wait for ever.
  EXPECT_EQ(read(u16(fifo), data), kErrorBadFormat);
  EXPECT_EQ(read(u"/dev/zero", data), kErrorBadFormat);
  EXPECT_NE(read(u"/proc/self/maps", data), kErrorSuccess);
}

TEST_F(VersionResourceTest, EveryTruncationFailsCleanlyOrGivesTheReadablePart) {
  const Bytes image = peImage(encodeBlock(kTree, true));
  const std::size_t dataStart = image.find(std::string("\0\0\0V\0S\0_", 8)) - 3;
  int found = 0;
  for (std::size_t cut = 0; cut <= image.size(); ++cut) {
    const Bytes part = image.substr(0, cut);
    MemoryImageBytes bytes(span(part));
    ResourceLocation at;
    const std::uint16_t english = 0x0409;
    const std::uint32_t err = findResource(bytes, kResourceTypeVersion, kVersionResourceName, {&english, 1}, at);
    if (err != kErrorSuccess) continue;
    ++found;
    EXPECT_GE(cut, dataStart) << "found before the data was there";
    EXPECT_LE(at.offset + at.size, cut);
    // Whatever is there is queried without reading past it.
    const Bytes data = part.substr(static_cast<std::size_t>(at.offset), at.size);
    VersionValue v;
    VerQueryValueW(span(data), u"\\StringFileInfo\\040904B0\\FileVersion", v);
    EXPECT_LE(v.bytes.size(), data.size());
  }
  EXPECT_GT(found, 0);
}

TEST_F(VersionResourceTest, SizesPastTheEndOfAHugeSparseFileReadOnlyWhatCounts) {
  // A resource entry and its section claiming almost 4 GiB, in a sparse
  // file of 4 GiB: the layout is the one peImage() writes.
  Bytes image = peImage(encodeBlock(kTree, true));
  constexpr std::size_t kSectionHeader = 0x40 + 4 + 20 + 0xE0;
  constexpr std::size_t kDataEntry = 0x200 + 16 + 8 + 16 + 8 + 16 + 8;
  ASSERT_EQ(getU16(image, kDataEntry + 4), encodeBlock(kTree, true).size());
  setU32(image, kDataEntry + 4, 0xFFFFFFF0u);
  setU32(image, kSectionHeader + 8, 0xFFFFF000u);
  setU32(image, kSectionHeader + 16, 0xFFFFF000u);
  const std::filesystem::path path = dir_ / "huge.dll";
  writeBytes(path, image);
  if (truncate(path.c_str(), (std::int64_t{4} << 30)) != 0) GTEST_SKIP() << "no room for a sparse 4 GiB file";
  Bytes data;
  ASSERT_EQ(read(u16(path), data), kErrorSuccess);
  EXPECT_EQ(data.size(), 0xFFFFu) << "nothing past the root block's reach is read";
  EXPECT_EQ(textAt(data, u"\\StringFileInfo\\040904B0\\CompanyName"), u"TOVapps");
  // Plain garbage of 4 GiB is refused at once.
  const std::filesystem::path zeros = dir_ / "zeros.dll";
  writeBytes(zeros, "MZ");
  ASSERT_EQ(truncate(zeros.c_str(), (std::int64_t{4} << 30)), 0);
  EXPECT_EQ(read(u16(zeros), data), kErrorBadFormat);
}

TEST_F(VersionResourceTest, TreesWhoseLengthsLieAreReadOnlyWithinTheirBlocks) {
  // A string value stated far longer than its block: cut at the block.
  Block tree = kTree;
  tree.children[0].children[0].children[0].valueLength = 0x7FFF;
  Bytes data = encodeBlock(tree, true);
  VersionValue v;
  ASSERT_TRUE(VerQueryValueW(span(data), u"\\StringFileInfo\\040904B0\\CompanyName", v));
  EXPECT_LE(v.bytes.size(), data.size());
  EXPECT_EQ(v.length, v.bytes.size() / 2);
  // The next sibling is still found: its place comes from the block length.
  EXPECT_EQ(textAt(data, u"\\StringFileInfo\\040904B0\\FileVersion"), u"5.1.2600.5512");

  // A child longer than its parent ends at the parent's end.
  tree = kTree;
  tree.children[0].children[0].length = 0xFFF0;
  data = encodeBlock(tree, true);
  EXPECT_EQ(textAt(data, u"\\StringFileInfo\\040904B0\\CompanyName"), u"TOVapps");
  EXPECT_TRUE(VerQueryValueW(span(data), u"\\VarFileInfo\\Translation", v)) << "the parent's sibling stays";
  EXPECT_EQ(v.length, 4u);

  // A block of length 0 ends the walk instead of looping on itself.
  tree = kTree;
  tree.children[0].children[0].children[0].length = 0;
  data = encodeBlock(tree, true);
  EXPECT_FALSE(VerQueryValueW(span(data), u"\\StringFileInfo\\040904B0\\FileVersion", v));

  // A key without its NUL, running to the end of the data.
  data = encodeBlock(kTree, true).substr(0, 20);
  setU16(data, 0, 0xFFFF);
  EXPECT_TRUE(VerQueryValueW(span(data), u"\\", v));
  EXPECT_EQ(v.length, 0u);
  EXPECT_FALSE(VerQueryValueW(span(data), u"\\StringFileInfo", v));

  // Too short for even a header, and no data at all.
  EXPECT_FALSE(VerQueryValueW(span(Bytes("\x04\x00", 2)), u"\\", v));
  EXPECT_FALSE(VerQueryValueW({}, u"\\", v));
}

TEST_F(VersionResourceTest, DeeplyNestedSixteenBitTreesAreCutNotRecursedForEver) {
  Block deep{u"VS_VERSION_INFO", fixedInfoBytes(fixedInfo(1, 0, 1, 0)), {}, {}, {}, {}};
  Block* at = &deep;
  for (int i = 0; i < 2000; ++i) {
    at->children.push_back(Block{u"x", {}, {}, {}, {}, {}});
    at = &at->children.back();
  }
  const Bytes narrow = encodeBlock(deep, false);
  const ByteVector wide = widenVersionTree(span(narrow));
  ASSERT_FALSE(wide.empty());
  EXPECT_LE(wide.size(), 0xFFFFu);
  VersionValue root;
  EXPECT_TRUE(VerQueryValueW(wide, u"\\", root));
  EXPECT_EQ(root.length, 52u);
}

TEST_F(VersionResourceTest, LanguageNames) {
  EXPECT_EQ(languageName(0x0409), u"English (United States)");
  EXPECT_EQ(languageName(0x0419), u"Russian (Russia)");
  EXPECT_EQ(languageName(0x0407), u"German (Germany)");
  EXPECT_EQ(languageName(0x0000), u"Language Neutral");
  EXPECT_EQ(languageName(0x0019), u"Russian");
  EXPECT_EQ(languageName(0x7777), u"Unknown language");
  EXPECT_EQ(languageName(0x10409), u"Unknown language");

  char16_t small[8];
  EXPECT_EQ(VerLanguageNameW(0x0409, small), 23u);
  EXPECT_EQ(std::u16string(small), u"English");
  EXPECT_EQ(VerLanguageNameW(0x0409, {}), 23u);
}

// Images that Debian ships, where they are installed.
TEST_F(VersionResourceTest, RealImages) {
  const std::vector<std::string> candidates = {"/usr/i686-w64-mingw32/lib/zlib1.dll",
                                               "/usr/x86_64-w64-mingw32/lib/zlib1.dll",
                                               "/usr/lib/x86_64-linux-gnu/wine/x86_64-windows/kernel32.dll"};
  int seen = 0;
  for (const std::string& path : candidates) {
    if (!std::filesystem::exists(path)) continue;
    ++seen;
    Bytes data;
    ASSERT_EQ(read(u16(path), data), kErrorSuccess) << path;
    VersionValue root;
    ASSERT_TRUE(VerQueryValueW(span(data), u"\\", root));
    EXPECT_EQ(root.length, 52u) << path;
    EXPECT_EQ(Bytes(root.bytes.begin(), root.bytes.begin() + 4), Bytes("\xBD\x04\xEF\xFE", 4));
    EXPECT_NE(textAt(data, u"\\StringFileInfo\\040904B0\\FileVersion") +
                  textAt(data, u"\\StringFileInfo\\040904E4\\FileVersion"),
              u"<none><none>")
        << path;
  }
  if (seen == 0) GTEST_SKIP() << "no Windows images installed (tools/deps.sh installs libwine and libz-mingw-w64)";
  // A library without any version resource.
  const std::string plain = "/usr/lib/gcc/i686-w64-mingw32/12-win32/libgcc_s_dw2-1.dll";
  if (std::filesystem::exists(plain)) {
    Bytes data;
    EXPECT_EQ(read(u16(plain), data), kErrorResourceDataNotFound);
  }
}

}  // namespace
}  // namespace tov::platform
