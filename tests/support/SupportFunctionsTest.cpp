#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>

#include "CodePageOverride.h"
#include "TempDir.h"
#include "platform/Path.h"
#include "support/FileNameFunctions.h"
#include "support/SystemFunctions.h"
#include "support/TextConversions.h"

using namespace tov;

namespace {

using CodePages = tovtest::CodePageOverride;

std::string bytes(const ByteArray& a) { return std::string(a.data(), a.data() + a.size()); }

TEST(SupportFunctions, FormatsVersionWithPaddedMinorAndRevision) {
  EXPECT_EQ(asFormatVersion(1, 1, 4), u"1.01.0004");
  EXPECT_EQ(asFormatVersion(2, 10, 1234), u"2.10.1234");
  EXPECT_FALSE(asIsInIDE());
  EXPECT_TRUE(asIsHostWinNT());
}

TEST(SupportFunctions, SplitsNamesOnBothSeparators) {
  EXPECT_EQ(asGetFileExtension(u"C:\\Logs\\chat.xml"), u"xml");
  EXPECT_EQ(asGetFileExtension(u"/a.b/chat"), u"");
  EXPECT_EQ(asGetFileExtension(u"chat."), u"");
  EXPECT_EQ(asGetFileExtension(u"dir.d\\file"), u"");
  EXPECT_EQ(asGetFilePath(u"C:\\Logs\\chat.xml"), u"C:\\Logs");
  EXPECT_EQ(asGetFilePath(u"/home/u/chat.xml"), u"/home/u");
  EXPECT_EQ(asGetFilePath(u"/chat.xml"), u"/");
  EXPECT_EQ(asGetFilePath(u"chat.xml"), u"");
  EXPECT_EQ(asGetFileName(u"a/b\\c.txt"), u"c.txt");
  EXPECT_EQ(asBuildFileName(u"/tmp", u"x"), u"/tmp/x");
  EXPECT_EQ(asBuildFileName(u"/tmp/", u"x"), u"/tmp/x");
  EXPECT_EQ(asBuildFileName(u"C:\\dir", u"x"), u"C:\\dir\\x");
  EXPECT_EQ(asBuildFileName(u"", u"x"), u"x");
  EXPECT_EQ(asTrimEx(u" \t a b \t "), u"a b");
  EXPECT_EQ(asTrimEx(u"   "), u"");
}

TEST(SupportFunctions, FullFileNameResolvesAgainstCurrentDirectory) {
  tovtest::TempDir dir("cwd");
  const auto old = std::filesystem::current_path();
  std::filesystem::current_path(dir.path());
  const std::u16string here = platform::fromNativePath(std::filesystem::current_path().string());
  EXPECT_EQ(asGetFullFileName(u"chat.xml"), here + u"/chat.xml");
  EXPECT_EQ(asGetFullFileName(u"sub\\..\\.\\chat.xml"), here + u"/chat.xml");
  EXPECT_EQ(asGetFullFileName(u"/a/b/../c"), u"/a/c");
  EXPECT_EQ(asGetFullFileName(u"/.."), u"/");
  std::filesystem::current_path(old);
}

TEST(SupportFunctions, FileExistenceIgnoresDirectories) {
  tovtest::TempDir dir("exist");
  tovtest::writeBytes(dir / "f", "x");
  EXPECT_TRUE(asIsFileExist(tovtest::u16(dir / "f")));
  EXPECT_FALSE(asIsFileExist(tovtest::u16(dir.path())));
  EXPECT_FALSE(asIsFileExist(tovtest::u16(dir / "missing")));
  EXPECT_FALSE(asIsFileExist(u""));
}

TEST(SupportFunctions, AnsiConversionsRoundTripEveryByte) {
  for (const char* page : {"1250", "1251", "1252", "1253", "1254", "1257"}) {
    CodePages pages(page, "437");
    ByteVector all(256);
    for (int b = 0; b < 256; ++b) all[b] = static_cast<std::uint8_t>(b);
    const ByteArray original(all);
    EXPECT_EQ(asStrConvB(asStrConvW(original)), original) << page;
  }
}

TEST(SupportFunctions, UndefinedBytesSurviveAsTheirOwnCodes) {
  CodePages pages("1252", "850");
  EXPECT_EQ(asStrConvW(ByteArray{0x81}), u"\u0081");
  EXPECT_EQ(bytes(asStrConvB(u"\u0081\u20AC")), "\x81\x80");
  CodePages cyrillic("1251", "866");
  EXPECT_EQ(asStrConvW(ByteArray{0x98}), u"\u0098");
  EXPECT_EQ(bytes(asStrConvB(u"\u0098")), "\x98");
}

TEST(SupportFunctions, UnmappableCharactersBecomeQuestionMarks) {
  CodePages pages("1252", "437");
  EXPECT_EQ(bytes(asStrConvB(u"aШb")), "a?b");
  EXPECT_EQ(bytes(asStrConvB(u"\U0001F600")), "??");
}

TEST(SupportFunctions, AnsiToOemGivesOemBytesAsAnsiText) {
  CodePages pages("1251", "866");
  // Ш is 0x98 in 866, a byte 1251 leaves undefined: it must survive.
  const std::u16string oem = asAnsiToOem(u"Шар Ё");
  EXPECT_EQ(bytes(asStrConvB(oem)), "\x98\xA0\xE0 \xF0");
  EXPECT_EQ(asOemToAnsi(oem), u"Шар Ё");
}

TEST(SupportFunctions, Utf8ConversionCarriesBytesOnePerCharacter) {
  CodePages pages("1252", "850");
  EXPECT_EQ(bytes(asStrConvB(asUNICODEToUTF8(u"Ёa"))), "\xD0\x81" "a");
  // A surrogate pair is one 4-byte sequence, never two 3-byte ones.
  EXPECT_EQ(bytes(asStrConvB(asUNICODEToUTF8(u"\U0001F600"))), "\xF0\x9F\x98\x80");
  // A lone surrogate cannot be encoded and becomes U+FFFD.
  EXPECT_EQ(bytes(asStrConvB(asUNICODEToUTF8(std::u16string(1, u'\xD800')))), "\xEF\xBF\xBD");
  CodePages cyrillic("1251", "866");
  EXPECT_EQ(bytes(asStrConvB(asUNICODEToUTF8(u"Ш"))), "\xD0\xA8");
}

TEST(SupportFunctions, WordsBytesAndHex) {
  EXPECT_EQ(asHiWord(0x12345678u), 0x1234);
  EXPECT_EQ(asLoWord(0x12345678u), 0x5678);
  EXPECT_EQ(asHiByte(0xABCD), 0xAB);
  EXPECT_EQ(asLoByte(0xABCD), 0xCD);
  EXPECT_EQ(asHex2(0x4E3), u"04E3");
  const std::uint32_t halves[2] = {0xFFFFFFFFu, 0x1u};
  EXPECT_EQ(asLargeIntegerToDouble(halves), 8589934591.0);
  EXPECT_EQ(asGetStringFromPointerA(nullptr), u"");
  EXPECT_EQ(asGetStringFromPointerA("abc"), u"abc");
}

}  // namespace
