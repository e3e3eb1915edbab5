// tovFileVersion on images built byte by byte: every fixed field and flag,
// the string table chosen by the eight passes, and an object that is always
// either fully loaded or as new.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "CodePageOverride.h"
#include "ScopedEnv.h"
#include "TempDir.h"
#include "VersionImages.h"
#include "fileio/tovFileVersion.h"

using ferrule::tovFileVersion;
using namespace tovtest;

namespace {

using T = tovFileVersion::Translation;

class FileVersionTest : public ::testing::Test {
 protected:
  TempDir dir_{"fv"};
  // Locale fixed: user and system language US English, ANSI page 1252.
  ScopedEnv all_{"LC_ALL", nullptr};
  ScopedEnv messages_{"LC_MESSAGES", nullptr};
  ScopedEnv lang_{"LANG", "en_US.UTF-8"};
  CodePageOverride pages_{"1252", "437"};
  tovFileVersion v_;

  std::u16string write(const std::string& name, const Block& tree, bool pe32Plus = false) {
    writeBytes(dir_ / name, peImage(encodeBlock(tree, true), pe32Plus));
    return u16(dir_ / name);
  }

  static void expectEmpty(const tovFileVersion& v) {
    EXPECT_TRUE(v.GetBuffer().empty());
    EXPECT_EQ(v.FileName(), u"");
    EXPECT_EQ(v.TranslationKey(), u"");
    EXPECT_EQ(v.LanguageName(), u"");
    EXPECT_EQ(v.Signature(), 0);
    EXPECT_EQ(v.StrucVersion(), 0);
    EXPECT_EQ(v.FileVerMajor() + v.FileVerMinor() + v.FileVerRevisionMajor() + v.FileVerRevisionMinor(), 0);
    EXPECT_EQ(v.ProductVerMajor() + v.ProductVerMinor() + v.ProductVerRevisionMajor() + v.ProductVerRevisionMinor(),
              0);
    EXPECT_EQ(v.FileOS() | v.FileType() | v.FileSubType() | v.FileDateMS() | v.FileDateLS(), 0);
    EXPECT_FALSE(v.FileFlagDebug() || v.FileFlagMaskDebug() || v.FileFlagSpecialBuild());
    EXPECT_EQ(v.StrCompanyName(), u"");
    EXPECT_EQ(v.GetVersionInfoString(u"CompanyName"), u"");
  }
};

TEST_F(FileVersionTest, FixedFieldsAndStrings) {
  FixedInfo f = fixedInfo(0x00050001, 0x0A281588, 0x9C40FFFF, 0x00020003);  // 5.1.2600.5512, 40000.65535.2.3
  f[6] = 0x3F;        // flags mask
  f[7] = 0x05;        // debug + patched
  f[8] = 0x00040004;  // NT, Windows32
  f[9] = 2;           // DLL
  f[10] = 0x12345;    // a subtype no enumeration names
  f[11] = 0x89ABCDEF;
  f[12] = 0x7FFFFFFF;
  const std::u16string file =
      write("a.dll", simpleVersionInfo(f, u"040904B0",
                                       {{u"CompanyName", u"TOVapps"},
                                        {u"FileDescription", u"Fichier \u00E9t\u00E9 \u0416"},
                                        {u"FileVersion", u"5.1.2600.5512"},
                                        {u"Comments", u""},
                                        {u"ProductName", u"TOV"}},
                                       {{0x0409, 1200}}));
  ASSERT_TRUE(v_.ReadFile(file));
  EXPECT_EQ(v_.FileName(), file);
  EXPECT_EQ(v_.Signature(), static_cast<std::int32_t>(0xFEEF04BD));
  EXPECT_LT(v_.Signature(), 0);
  EXPECT_EQ(v_.StrucVersion(), 0x10000);
  EXPECT_EQ(v_.FileVerMajor(), 5);
  EXPECT_EQ(v_.FileVerMinor(), 1);
  EXPECT_EQ(v_.FileVerRevisionMajor(), 2600);
  EXPECT_EQ(v_.FileVerRevisionMinor(), 5512);
  EXPECT_EQ(v_.ProductVerMajor(), 40000);
  EXPECT_EQ(v_.ProductVerMinor(), 65535);
  EXPECT_EQ(v_.ProductVerRevisionMajor(), 2);
  EXPECT_EQ(v_.ProductVerRevisionMinor(), 3);
  EXPECT_EQ(v_.FileOS(), 0x40004);
  EXPECT_EQ(v_.FileType(), 2);
  EXPECT_EQ(v_.FileSubType(), 0x12345);
  EXPECT_EQ(v_.FileDateMS(), static_cast<std::int32_t>(0x89ABCDEF));
  EXPECT_EQ(v_.FileDateLS(), 0x7FFFFFFF);
  EXPECT_TRUE(v_.FileFlagDebug());
  EXPECT_FALSE(v_.FileFlagPreRelease());
  EXPECT_TRUE(v_.FileFlagPatched());
  EXPECT_FALSE(v_.FileFlagPrivateBuild());
  EXPECT_FALSE(v_.FileFlagInfoInferred());
  EXPECT_FALSE(v_.FileFlagSpecialBuild());
  EXPECT_TRUE(v_.FileFlagMaskDebug() && v_.FileFlagMaskPreRelease() && v_.FileFlagMaskPatched() &&
              v_.FileFlagMaskPrivateBuild() && v_.FileFlagMaskInfoInferred() && v_.FileFlagMaskSpecialBuild());

  EXPECT_EQ(v_.TranslationKey(), u"040904B0");
  EXPECT_EQ(v_.LanguageName(), u"English (United States)");
  EXPECT_EQ(v_.StrCompanyName(), u"TOVapps");
  // Text outside the ANSI code page comes through whole.
  EXPECT_EQ(v_.StrFileDescription(), u"Fichier \u00E9t\u00E9 \u0416");
  EXPECT_EQ(v_.StrFileVersion(), u"5.1.2600.5512");
  EXPECT_EQ(v_.StrProductName(), u"TOV");
  EXPECT_EQ(v_.StrComments(), u"");
  EXPECT_EQ(v_.StrSpecialBuild(), u"");
  EXPECT_EQ(v_.GetVersionInfoString(u"companyname"), u"TOVapps");
  EXPECT_EQ(v_.GetVersionInfoString(u""), u"");
  EXPECT_EQ(v_.GetVersionInfoString(u"NoSuchName"), u"");

  // The buffer is a copy.
  tov::ByteArray copy = v_.GetBuffer();
  ASSERT_FALSE(copy.empty());
  EXPECT_EQ(copy.lowerBound(), 0);
  copy.data()[0] ^= 0xFF;
  EXPECT_NE(v_.GetBuffer(), copy);
  EXPECT_EQ(v_.StrCompanyName(), u"TOVapps");
}

TEST_F(FileVersionTest, EachFlagBitIsItsOwnProperty) {
  using Getter = bool (tovFileVersion::*)() const;
  const struct {
    std::uint32_t bit;
    Getter flag;
    Getter mask;
  } bits[] = {
      {0x1, &tovFileVersion::FileFlagDebug, &tovFileVersion::FileFlagMaskDebug},
      {0x2, &tovFileVersion::FileFlagPreRelease, &tovFileVersion::FileFlagMaskPreRelease},
      {0x4, &tovFileVersion::FileFlagPatched, &tovFileVersion::FileFlagMaskPatched},
      {0x8, &tovFileVersion::FileFlagPrivateBuild, &tovFileVersion::FileFlagMaskPrivateBuild},
      {0x10, &tovFileVersion::FileFlagInfoInferred, &tovFileVersion::FileFlagMaskInfoInferred},
      {0x20, &tovFileVersion::FileFlagSpecialBuild, &tovFileVersion::FileFlagMaskSpecialBuild},
  };
  for (const auto& b : bits) {
    FixedInfo f = fixedInfo(1, 0, 1, 0);
    f[6] = ~b.bit;  // mask: every other bit
    f[7] = b.bit;
    ASSERT_TRUE(v_.ReadFile(write("f.dll", simpleVersionInfo(f, u"040904B0", {}, {{0x0409, 1200}}))));
    for (const auto& other : bits) {
      EXPECT_EQ((v_.*other.flag)(), other.bit == b.bit) << b.bit << " " << other.bit;
      EXPECT_EQ((v_.*other.mask)(), other.bit != b.bit) << b.bit << " " << other.bit;
    }
  }
}

TEST_F(FileVersionTest, SelectionPasses) {
  const auto pick = [](std::initializer_list<T> table, std::uint16_t user, std::uint16_t system, std::uint16_t acp) {
    const T t = tovFileVersion::SelectTranslation(std::vector<T>(table), user, system, acp);
    return (static_cast<std::uint32_t>(t.language) << 16) | t.codePage;
  };
  constexpr std::uint16_t ru = 0x0419, en = 0x0409, de = 0x0407, fr = 0x040C;
  // 1: user language with the ANSI page, before an earlier Unicode entry.
  EXPECT_EQ(pick({{ru, 1200}, {ru, 1251}}, ru, en, 1251), 0x041904E3u);
  // 2: user language with Unicode, before an earlier entry of another page.
  EXPECT_EQ(pick({{ru, 866}, {ru, 1200}}, ru, en, 1251), 0x041904B0u);
  // 3: user language with any page, before the system language's exact match.
  EXPECT_EQ(pick({{en, 1252}, {ru, 866}}, ru, en, 1252), 0x04190362u);
  // 4-6: the system language the same way when the user's is absent.
  EXPECT_EQ(pick({{de, 1200}, {de, 1252}}, fr, de, 1252), 0x040704E4u);
  EXPECT_EQ(pick({{de, 850}, {de, 1200}}, fr, de, 1252), 0x040704B0u);
  EXPECT_EQ(pick({{en, 1200}, {de, 850}}, fr, de, 1252), 0x04070352u);
  // 7: US English with any page.
  EXPECT_EQ(pick({{de, 1252}, {en, 1252}}, fr, fr, 1252), 0x040904E4u);
  // 8: the first entry.
  EXPECT_EQ(pick({{de, 1252}}, fr, fr, 1252), 0x040704E4u);
  EXPECT_EQ(pick({{de, 1252}, {ru, 1251}}, fr, 0x0411, 932), 0x040704E4u);
  // Code pages compare as unsigned 16-bit values.
  EXPECT_EQ(pick({{ru, 1200}, {ru, 65001}}, ru, en, 65001), 0x0419FDE9u);
  // Each pass scans from the first entry: the first match wins.
  EXPECT_EQ(pick({{en, 1252}, {en, 1252}, {ru, 1251}}, en, en, 1252), 0x040904E4u);
}

TEST_F(FileVersionTest, TranslationKeyFromTheFilesTable) {
  const auto keyFor = [&](std::vector<std::pair<std::uint16_t, std::uint16_t>> table) {
    Block tree = simpleVersionInfo(fixedInfo(1, 0, 1, 0), u"040904B0", {{u"CompanyName", u"x"}}, table);
    EXPECT_TRUE(v_.ReadFile(write("t.dll", tree)));
    return v_.TranslationKey();
  };
  EXPECT_EQ(keyFor({{0x0419, 1251}, {0x0409, 1200}}), u"040904B0");  // pass 2 for a US English user
  {
    ScopedEnv russian("LANG", "ru_RU.UTF-8");
    CodePageOverride cyrillic("1251", "866");
    EXPECT_EQ(keyFor({{0x0419, 1251}, {0x0409, 1200}}), u"041904E3");
    EXPECT_EQ(v_.LanguageName(), u"Russian (Russia)");
    EXPECT_EQ(v_.StrCompanyName(), u"") << "the file has no table 041904E3";
  }
  {
    // User and system language apart: messages in Russian, the rest German.
    ScopedEnv german("LANG", "de_DE.UTF-8");
    ScopedEnv messages("LC_MESSAGES", "ru_RU.UTF-8");
    EXPECT_EQ(keyFor({{0x0409, 1200}, {0x0407, 1252}, {0x0419, 1200}}), u"041904B0");
    EXPECT_EQ(keyFor({{0x0409, 1200}, {0x0407, 1252}}), u"040704E4");
  }
  {
    ScopedEnv french("LANG", "fr_FR.UTF-8");
    EXPECT_EQ(keyFor({{0x0407, 1252}}), u"040704E4");
    EXPECT_EQ(keyFor({{0x0407, 1252}, {0x0409, 1252}}), u"040904E4");
  }
  EXPECT_EQ(keyFor({}), u"040904B0") << "an empty table";
  EXPECT_EQ(v_.StrCompanyName(), u"x");

  // An odd length: the whole entries count, the trailing part is ignored.
  Block odd = simpleVersionInfo(fixedInfo(1, 0, 1, 0), u"040704E4", {{u"CompanyName", u"odd"}}, {{0x0407, 1252}});
  odd.children[1].children[0].binary += "\x19\x04";
  ASSERT_TRUE(v_.ReadFile(write("odd.dll", odd)));
  EXPECT_EQ(v_.TranslationKey(), u"040704E4");
  EXPECT_EQ(v_.StrCompanyName(), u"odd");
  // Shorter than one entry: the default key.
  Block tiny = odd;
  tiny.children[1].children[0].binary = "\x07\x04\xE4";
  ASSERT_TRUE(v_.ReadFile(write("tiny.dll", tiny)));
  EXPECT_EQ(v_.TranslationKey(), u"040904B0");
  // No VarFileInfo at all.
  Block none = simpleVersionInfo(fixedInfo(1, 0, 1, 0), u"040904B0", {{u"CompanyName", u"plain"}}, {});
  none.children.pop_back();
  ASSERT_TRUE(v_.ReadFile(write("none.dll", none)));
  EXPECT_EQ(v_.TranslationKey(), u"040904B0");
  EXPECT_EQ(v_.StrCompanyName(), u"plain");
}

TEST_F(FileVersionTest, WithoutAValidFixedPartTheNumbersAreZero) {
  for (std::size_t size : {std::size_t{0}, std::size_t{48}, std::size_t{56}}) {
    Block tree = simpleVersionInfo(fixedInfo(0x00050001, 0, 1, 0), u"040904B0", {{u"CompanyName", u"c"}},
                                   {{0x0409, 1200}});
    tree.binary.resize(size, '\x11');
    ASSERT_TRUE(v_.ReadFile(write("nofixed.dll", tree))) << size;
    EXPECT_EQ(v_.Signature(), 0) << size;
    EXPECT_EQ(v_.FileVerMajor(), 0) << size;
    EXPECT_FALSE(v_.FileFlagMaskDebug()) << size;
    EXPECT_EQ(v_.StrCompanyName(), u"c") << size;
  }
}

TEST_F(FileVersionTest, AFailedReadLeavesTheObjectAsNew) {
  expectEmpty(v_);
  EXPECT_EQ(v_.LanguageName(), u"");
  const std::u16string good =
      write("good.dll", simpleVersionInfo(fixedInfo(0x00010002, 3, 1, 0), u"041904E3", {{u"CompanyName", u"c"}},
                                          {{0x0419, 1251}}));
  ASSERT_TRUE(v_.ReadFile(good));
  EXPECT_EQ(v_.LanguageName(), u"Russian (Russia)");
  writeBytes(dir_ / "plain.txt", "not an image");
  for (const std::filesystem::path& bad : {dir_ / "plain.txt", dir_ / "missing.dll", dir_.path()}) {
    ASSERT_TRUE(v_.ReadFile(good));
    EXPECT_FALSE(v_.ReadFile(u16(bad)));
    expectEmpty(v_);
  }
}

TEST_F(FileVersionTest, SixteenBitAndPe32PlusFiles) {
  const Block tree = simpleVersionInfo(fixedInfo(0x00030000, 0x000A0000, 3, 0), u"040904E4",
                                       {{u"CompanyName", u"Old"}, {u"FileVersion", u"3.10"}}, {{0x0409, 1252}});
  writeBytes(dir_ / "old.exe", neImage(encodeBlock(tree, false)));
  ASSERT_TRUE(v_.ReadFile(u16(dir_ / "old.exe")));
  EXPECT_EQ(v_.FileVerMinor(), 0);
  EXPECT_EQ(v_.FileVerRevisionMajor(), 10);
  EXPECT_EQ(v_.TranslationKey(), u"040904E4");
  EXPECT_EQ(v_.StrCompanyName(), u"Old");
  EXPECT_EQ(v_.StrFileVersion(), u"3.10");

  ASSERT_TRUE(v_.ReadFile(write("new.dll", tree, true)));
  EXPECT_EQ(v_.StrCompanyName(), u"Old");
}

TEST_F(FileVersionTest, LanguageNames) {
  EXPECT_EQ(tovFileVersion::GetLanguageName(0x0409), u"English (United States)");
  EXPECT_EQ(tovFileVersion::GetLanguageName(0x0419), u"Russian (Russia)");
  EXPECT_EQ(tovFileVersion::GetLanguageName(0x0407), u"German (Germany)");
  EXPECT_EQ(tovFileVersion::GetLanguageName(0x0ABC), u"Unknown language");
  EXPECT_EQ(tovFileVersion::GetLanguageName(-1), u"Unknown language");
}

}  // namespace
