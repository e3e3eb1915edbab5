// Reading and editing INI text in memory: the lookup rules, where edits land,
// and that everything an edit does not touch keeps its exact bytes.
#include <gtest/gtest.h>

#include <string>

#include "platform/IniDocument.h"

namespace tov::platform {
namespace {

IniDocument parse(const std::string& bytes, ProfileEncoding plain = ProfileEncoding::Utf8) {
  return IniDocument::fromBytes({reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()}, plain, u"\r\n");
}

std::string bytesOf(const IniDocument& doc) {
  const ByteVector bytes = doc.toBytes();
  return std::string(bytes.begin(), bytes.end());
}

std::optional<std::u16string> valueIn(const std::string& text, std::u16string_view section, std::u16string_view key) {
  return parse(text).value(section, key);
}

TEST(IniDocumentLookup, NamesAreCaseInsensitiveAndTrimmed) {
  const std::string text =
      "[Options]\nWidth=10\n"
      "[\xD0\x9D\xD0\xB0\xD1\x81\xD1\x82\xD1\x80\xD0\xBE\xD0\xB9\xD0\xBA\xD0\xB8]\n"  // [Настройки]
      "\xD0\xAF\xD0\xB7\xD1\x8B\xD0\xBA=ru\n"                                           // Язык=ru
      "  [  Spaced Section  ]  \n   Spaced Key   =   spaced value   \n";
  EXPECT_EQ(valueIn(text, u"OPTIONS", u"width"), u"10");
  EXPECT_EQ(valueIn(text, u"НАСТРОЙКИ", u"ЯЗЫК"), u"ru");
  EXPECT_EQ(valueIn(text, u"настройки", u"язык"), u"ru");
  EXPECT_EQ(valueIn(text, u"spaced section", u"SPACED KEY"), u"spaced value");
  EXPECT_EQ(valueIn(text, u" Spaced Section ", u" Spaced Key "), u"spaced value");
  EXPECT_EQ(valueIn(text, u"Options", u"Height"), std::nullopt);
  EXPECT_EQ(valueIn(text, u"Missing", u"Width"), std::nullopt);
}

TEST(IniDocumentLookup, FirstSectionAndFirstKeyWin) {
  const std::string text = "[A]\nk=first\nK=second\n[a]\nk=third\nonly=later\n";
  EXPECT_EQ(valueIn(text, u"a", u"k"), u"first");
  // The later section of the same name is never consulted.
  EXPECT_EQ(valueIn(text, u"A", u"only"), std::nullopt);
}

TEST(IniDocumentLookup, KeysBeforeAnyHeaderBelongToTheEmptySection) {
  const std::string text = "; settings\nOutput Encoding=2\nParagraph Type = 1\n[OFN Paths]\nXML File=/tmp\n";
  EXPECT_EQ(valueIn(text, u"", u"Output Encoding"), u"2");
  EXPECT_EQ(valueIn(text, u"", u"paragraph type"), u"1");
  EXPECT_EQ(valueIn(text, u"", u"XML File"), std::nullopt);
  EXPECT_EQ(valueIn(text, u"OFN Paths", u"Output Encoding"), std::nullopt);
}

TEST(IniDocumentLookup, QuotesCommentsAndLinesThatAreNoKeys) {
  const std::string text =
      "[S]\n"
      "double=\"  padded  \"\n"
      "single='x'\n"
      "mismatched=\"x'\n"
      "lone=\"\n"
      "inner=a \"b\" c\n"
      ";commented=1\n"
      "  ; indented=1\n"
      "no equals sign\n"
      "[broken header\n"
      "after=broken\n"
      "empty=\n"
      "=nameless\n";
  EXPECT_EQ(valueIn(text, u"S", u"double"), u"  padded  ");
  EXPECT_EQ(valueIn(text, u"S", u"single"), u"x");
  EXPECT_EQ(valueIn(text, u"S", u"mismatched"), u"\"x'");
  EXPECT_EQ(valueIn(text, u"S", u"lone"), u"\"");
  EXPECT_EQ(valueIn(text, u"S", u"inner"), u"a \"b\" c");
  EXPECT_EQ(valueIn(text, u"S", u";commented"), std::nullopt);
  EXPECT_EQ(valueIn(text, u"S", u"commented"), std::nullopt);
  EXPECT_EQ(valueIn(text, u"S", u"; indented"), std::nullopt);
  EXPECT_EQ(valueIn(text, u"S", u"no equals sign"), std::nullopt);
  // A "[" line without "]" is no header: the keys after it stay in [S].
  EXPECT_EQ(valueIn(text, u"S", u"after"), u"broken");
  EXPECT_EQ(valueIn(text, u"S", u"empty"), u"");
  EXPECT_EQ(valueIn(text, u"S", u""), u"nameless");
}

TEST(IniDocumentLookup, AllLineBreakStylesSplitLines) {
  const std::string text = "[S]\r\na=1\rb=2\nc=3";
  EXPECT_EQ(valueIn(text, u"S", u"a"), u"1");
  EXPECT_EQ(valueIn(text, u"S", u"b"), u"2");
  EXPECT_EQ(valueIn(text, u"S", u"c"), u"3");
}

TEST(IniDocumentEdit, ReplacingAValueKeepsTheRestOfTheLineAndFile) {
  IniDocument doc = parse("; head\r\n[S]\r\n  Key  =  old  \r\nother=1\r\n");
  EXPECT_TRUE(doc.setValue(u"s", u"KEY", u"new"));
  EXPECT_EQ(bytesOf(doc), "; head\r\n[S]\r\n  Key  =  new\r\nother=1\r\n");
  EXPECT_FALSE(doc.setValue(u"S", u"key", u"new"));  // same text: nothing to write
}

TEST(IniDocumentEdit, ReplacesOnlyTheFirstMatch) {
  IniDocument doc = parse("[A]\nk=1\nk=2\n[A]\nk=3\n");
  doc.setValue(u"A", u"k", u"x");
  EXPECT_EQ(bytesOf(doc), "[A]\nk=x\nk=2\n[A]\nk=3\n");
}

TEST(IniDocumentEdit, NewKeyGoesAfterTheLastKeyOfItsSection) {
  IniDocument doc = parse("[A]\na=1\n; about B\n\n\n[B]\nb=1\n");
  doc.setValue(u"a", u"added", u"2");
  doc.setValue(u"B", u"tail", u"3");
  EXPECT_EQ(bytesOf(doc), "[A]\na=1\nadded=2\n; about B\n\n\n[B]\nb=1\ntail=3\n");
}

TEST(IniDocumentEdit, NewKeyInASectionWithoutKeysGoesBeforeItsTrailingBlankLines) {
  IniDocument doc = parse("[Empty]\n; nothing yet\n\n[Next]\n");
  doc.setValue(u"Empty", u"k", u"v");
  EXPECT_EQ(bytesOf(doc), "[Empty]\n; nothing yet\nk=v\n\n[Next]\n");
}

TEST(IniDocumentEdit, MissingSectionIsAddedAtTheEnd) {
  IniDocument doc = parse("[A]\r\na=1");  // no line break at the end
  doc.setValue(u"New", u"k", u"v");
  EXPECT_EQ(bytesOf(doc), "[A]\r\na=1\r\n[New]\r\nk=v\r\n");
  IniDocument empty = parse("");
  empty.setValue(u"S", u"k", u"v");
  EXPECT_EQ(bytesOf(empty), "[S]\r\nk=v\r\n");
}

TEST(IniDocumentEdit, EmptySectionKeysGoBeforeTheFirstHeader) {
  IniDocument doc = parse("; file comment\n\n[S]\nk=1\n");
  doc.setValue(u"", u"Output Encoding", u"3");
  EXPECT_EQ(bytesOf(doc), "; file comment\nOutput Encoding=3\n\n[S]\nk=1\n");
  doc.setValue(u"", u"Paragraph Type", u"1");
  EXPECT_EQ(bytesOf(doc), "; file comment\nOutput Encoding=3\nParagraph Type=1\n\n[S]\nk=1\n");

  IniDocument headerFirst = parse("[S]\nk=1\n");
  headerFirst.setValue(u"", u"top", u"1");
  EXPECT_EQ(bytesOf(headerFirst), "top=1\n[S]\nk=1\n");
}

TEST(IniDocumentEdit, RemovingAKeyKeepsTheSectionAndDropsItsDuplicates) {
  IniDocument doc = parse("[S]\nk=1\nother=2\nK=3\n[T]\nk=4\n");
  EXPECT_TRUE(doc.removeKey(u"s", u"K"));
  EXPECT_EQ(bytesOf(doc), "[S]\nother=2\n[T]\nk=4\n");
  EXPECT_FALSE(doc.removeKey(u"S", u"k"));
  EXPECT_FALSE(doc.removeKey(u"Missing", u"k"));
  EXPECT_TRUE(doc.removeKey(u"S", u"other"));
  EXPECT_EQ(bytesOf(doc), "[S]\n[T]\nk=4\n");
}

TEST(IniDocumentEdit, RemovingASectionRemovesAllItsLinesAndDuplicates) {
  IniDocument doc = parse("top=1\n[A]\na=1\n; a comment\n\n[B]\nb=1\n[a]\na=2\n");
  EXPECT_TRUE(doc.removeSection(u"A"));
  EXPECT_EQ(bytesOf(doc), "top=1\n[B]\nb=1\n");
  EXPECT_FALSE(doc.removeSection(u"A"));
}

TEST(IniDocumentEdit, RemovingTheEmptySectionRemovesOnlyItsKeys) {
  IniDocument doc = parse("; about this file\na=1\nb=2\n\n[S]\nk=1\n");
  EXPECT_TRUE(doc.removeSection(u""));
  EXPECT_EQ(bytesOf(doc), "; about this file\n\n[S]\nk=1\n");
}

TEST(IniDocumentEdit, UntouchedLinesKeepBytesThatDoNotDecode) {
  // Invalid UTF-8, a NUL, a line without "=" and a comment around real keys.
  const std::string original = std::string("bad\xFF\xFE=\xC3(\n") + "junk line\n" + std::string("x\0y=1\n", 6) +
                               "; c\n[S]\nk=1\n\xE2\x82\n";
  IniDocument doc = parse(original);
  doc.setValue(u"S", u"k", u"2");
  doc.setValue(u"S", u"added", u"3");
  EXPECT_EQ(bytesOf(doc), std::string("bad\xFF\xFE=\xC3(\n") + "junk line\n" + std::string("x\0y=1\n", 6) +
                              "; c\n[S]\nk=2\nadded=3\n\xE2\x82\n");
}

TEST(IniDocumentEdit, RefusesWhatWouldBreakTheFile) {
  EXPECT_FALSE(IniDocument::isStorableValue(u"two\nlines"));
  EXPECT_FALSE(IniDocument::isStorableValue(u"cr\r"));
  EXPECT_FALSE(IniDocument::isStorableValue(std::u16string(u"nul\0x", 5)));
  EXPECT_TRUE(IniDocument::isStorableValue(u" = [x] ; \"q\" "));
  EXPECT_FALSE(IniDocument::isStorableKey(u"a=b"));
  EXPECT_FALSE(IniDocument::isStorableKey(u" ;comment"));
  EXPECT_FALSE(IniDocument::isStorableKey(u"[header"));
  EXPECT_FALSE(IniDocument::isStorableKey(u"a\nb"));
  EXPECT_TRUE(IniDocument::isStorableKey(u"Output Encoding"));
  EXPECT_FALSE(IniDocument::isStorableSection(u"a]b"));
  EXPECT_FALSE(IniDocument::isStorableSection(u"a\r\nb"));
  EXPECT_TRUE(IniDocument::isStorableSection(u"OFN Paths"));
}

TEST(IniDocumentEdit, ExactValueTextReadsBackUnchanged) {
  for (std::u16string_view value : {u"", u"plain", u" Settings ", u"\tTab", u"\"quoted\"", u"'single'", u"\"",
                                    u"\"half", u" \"both\" ", u"a=b;c", u"\"\""}) {
    IniDocument doc = parse("[S]\nk=old\n");
    doc.setValue(u"S", u"k", IniDocument::exactValueText(value));
    EXPECT_EQ(parse(bytesOf(doc)).value(u"S", u"k"), value) << bytesOf(doc);
  }
  EXPECT_EQ(IniDocument::exactValueText(u"plain"), u"plain");
}

TEST(IniDocumentEncoding, BigEndianUtf16KeepsItsByteOrder) {
  auto utf16be = [](std::u16string_view text) {
    std::string bytes = "\xFE\xFF";
    for (char16_t c : text) bytes += std::string{static_cast<char>(c >> 8), static_cast<char>(c & 0xFF)};
    return bytes;
  };
  IniDocument doc = parse(utf16be(u"[Секция]\r\nКлюч=значение\r\n"), ProfileEncoding::Ansi);
  EXPECT_EQ(doc.encoding(), ProfileEncoding::Utf16Be);
  EXPECT_EQ(doc.value(u"секция", u"КЛЮЧ"), u"значение");
  doc.setValue(u"Секция", u"Новый", u"ок");
  EXPECT_EQ(bytesOf(doc), utf16be(u"[Секция]\r\nКлюч=значение\r\nНовый=ок\r\n"));
  // A stray last byte completes a unit instead of being read past.
  EXPECT_EQ(parse(utf16be(u"[S]\r\nk=v\r\n") + "\x41", ProfileEncoding::Ansi).value(u"S", u"k"), u"v");
}

TEST(IniDocumentEncoding, Utf8ByteOrderMarkIsKept) {
  IniDocument doc = parse("\xEF\xBB\xBF[S]\nk=\xD0\xB4\n", ProfileEncoding::Ansi);
  EXPECT_EQ(doc.encoding(), ProfileEncoding::Utf8);
  EXPECT_EQ(doc.value(u"S", u"k"), u"д");
  doc.setValue(u"S", u"n", u"ж");
  EXPECT_EQ(bytesOf(doc), "\xEF\xBB\xBF[S]\nk=\xD0\xB4\nn=\xD0\xB6\n");
}

}  // namespace
}  // namespace tov::platform
