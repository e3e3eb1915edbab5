#include "platform/CodePage.h"

#include <gtest/gtest.h>

#include <set>
#include <thread>
#include <vector>

namespace tov::platform {
namespace {

using namespace std::string_literals;

const unsigned kSupportedPages[] = {437, 737, 775, 850, 852, 855, 857, 866,
                                    1250, 1251, 1252, 1253, 1254, 1257};

std::vector<std::uint8_t> bytesOf(const ByteVector& v) { return {v.begin(), v.end()}; }

TEST(CodePageTest, FindsExactlyTheSupportedPages) {
  for (unsigned number : kSupportedPages) {
    const CodePage* page = CodePage::find(number);
    ASSERT_NE(page, nullptr) << number;
    EXPECT_EQ(page->number(), number);
    EXPECT_EQ(CodePage::find(number), page) << "pages are shared, not rebuilt";
  }
  for (unsigned number : {0u, 1u, 1255u, 1256u, 65001u, 4294967295u}) {
    EXPECT_EQ(CodePage::find(number), nullptr) << number;
  }
}

TEST(CodePageTest, EveryByteOfEveryPageRoundTrips) {
  std::vector<std::uint8_t> all(256);
  for (int b = 0; b < 256; ++b) all[b] = static_cast<std::uint8_t>(b);
  for (unsigned number : kSupportedPages) {
    SCOPED_TRACE(number);
    const CodePage& page = *CodePage::find(number);
    std::set<char16_t> seen;
    for (int b = 0; b < 256; ++b) {
      const char16_t c = page.decode(static_cast<std::uint8_t>(b));
      EXPECT_TRUE(seen.insert(c).second) << "two bytes decode to U+" << std::hex << int(c);
      EXPECT_EQ(page.encode(c), b) << "byte " << b;
    }
    const std::u16string text = page.decode(all);
    ASSERT_EQ(text.size(), 256u);
    EXPECT_EQ(bytesOf(page.encode(text)), all);
  }
}

TEST(CodePageTest, LowHalfIsAsciiOnEveryPage) {
  // The DOS pages draw glyphs for control codes, but as text they must stay
  // control codes: a tab or newline has to survive conversion.
  for (unsigned number : kSupportedPages) {
    const CodePage& page = *CodePage::find(number);
    for (int b = 0; b < 0x80; ++b) EXPECT_EQ(page.decode(std::uint8_t(b)), char16_t(b)) << number;
  }
}

struct Mapping {
  unsigned page;
  std::uint8_t byte;
  char16_t character;
};

TEST(CodePageTest, KnownMappings) {
  const Mapping mappings[] = {
      {1251, 0xC0, u'\u0410'}, {1251, 0xA8, u'\u0401'}, {1251, 0xFF, u'\u044F'},
      {1251, 0x88, u'\u20AC'}, {1252, 0x80, u'\u20AC'}, {1252, 0x9F, u'\u0178'},
      {1252, 0xE9, u'\u00E9'}, {1250, 0x8A, u'\u0160'}, {1250, 0xB3, u'\u0142'},
      {1253, 0xC1, u'\u0391'}, {1254, 0xD0, u'\u011E'}, {1254, 0xFD, u'\u0131'},
      {1257, 0xE0, u'\u0105'}, {866, 0x98, u'\u0428'}, {866, 0xF0, u'\u0401'},
      {866, 0x80, u'\u0410'},  {437, 0x9B, u'\u00A2'}, {437, 0xB0, u'\u2591'},
      {437, 0xE1, u'\u00DF'},  {850, 0x9B, u'\u00F8'}, {852, 0x88, u'\u0142'},
      {737, 0x80, u'\u0391'},  {775, 0xD0, u'\u0105'}, {857, 0x8D, u'\u0131'},
      {855, 0xB8, u'\u0418'},
  };
  for (const Mapping& m : mappings) {
    const CodePage& page = *CodePage::find(m.page);
    EXPECT_EQ(page.decode(m.byte), m.character) << m.page << " byte " << int(m.byte);
    EXPECT_EQ(page.encode(m.character), m.byte) << m.page << " byte " << int(m.byte);
  }
}

TEST(CodePageTest, UndefinedBytesDecodeToTheirOwnValue) {
  const Mapping undefined[] = {
      {1251, 0x98, u'\u0098'}, {1252, 0x81, u'\u0081'}, {1252, 0x8D, u'\u008D'},
      {1252, 0x9D, u'\u009D'}, {1250, 0x83, u'\u0083'}, {1253, 0xAA, u'\u00AA'},
      {1253, 0xD2, u'\u00D2'}, {1253, 0xFF, u'\u00FF'}, {1257, 0xA1, u'\u00A1'},
  };
  for (const Mapping& m : undefined) {
    const CodePage& page = *CodePage::find(m.page);
    EXPECT_EQ(page.decode(m.byte), m.character) << m.page << " byte " << int(m.byte);
    EXPECT_EQ(page.encode(m.character), m.byte) << m.page << " byte " << int(m.byte);
  }
}

TEST(CodePageTest, UndefinedByteWhoseValueIsTakenUsesPrivateUse) {
  // 857 holds U+00D5 at 0xE5 but leaves 0xD5 itself undefined; decoding
  // 0xD5 to U+00D5 too would make one of them impossible to write back.
  const CodePage& page = *CodePage::find(857);
  EXPECT_EQ(page.decode(0xE5), u'\u00D5');
  EXPECT_EQ(page.encode(u'\u00D5'), 0xE5);
  EXPECT_EQ(page.decode(0xD5), u'\uF7D5');
  EXPECT_EQ(page.encode(u'\uF7D5'), 0xD5);
  EXPECT_EQ(page.decode(0x87), u'\u00E7');
  EXPECT_EQ(page.decode(0xE7), u'\uF7E7');
}

TEST(CodePageTest, UnmappableCharactersBecomeQuestionMarks) {
  EXPECT_EQ(CodePage::find(1252)->encode(u'\u0428'), '?');  // Ш
  EXPECT_EQ(CodePage::find(866)->encode(u'\u20AC'), '?');   // €
  EXPECT_EQ(CodePage::find(437)->encode(u'\u0410'), '?');
  EXPECT_EQ(CodePage::find(1251)->encode(u'\uFFFF'), '?');
  EXPECT_EQ(CodePage::find(1251)->encode(u'\uF7D5'), '?') << "857's private-use stand-in only";
  // '?' and NUL are real characters, not markers of failure.
  EXPECT_EQ(CodePage::find(1251)->encode(u'?'), '?');
  EXPECT_EQ(CodePage::find(1251)->encode(u'\0'), 0);
}

TEST(CodePageTest, EncodesOneBytePerCodeUnit) {
  const CodePage& cp1251 = *CodePage::find(1251);
  EXPECT_EQ(bytesOf(cp1251.encode(u"Ё\u0428\t?\0x\u20AC"s)),
            (std::vector<std::uint8_t>{0xA8, 0xD8, '\t', '?', 0x00, 'x', 0x88}));
  // A surrogate pair is two code units, so two replacement bytes; a lone
  // surrogate is one.
  EXPECT_EQ(bytesOf(cp1251.encode(u"a\U0001F600b")),
            (std::vector<std::uint8_t>{'a', '?', '?', 'b'}));
  EXPECT_EQ(bytesOf(cp1251.encode(std::u16string(1, u'\xD800'))), std::vector<std::uint8_t>{'?'});
  EXPECT_TRUE(cp1251.encode(u"").empty());
  EXPECT_EQ(bytesOf(CodePage::find(1252)->encode(u"\u0428\u20AC")),
            (std::vector<std::uint8_t>{'?', 0x80}));
}

TEST(CodePageTest, DecodesByteStrings) {
  const std::vector<std::uint8_t> bytes{0xCF, 0xF0, 0xE8, 0x00, 0x98, 'z'};
  EXPECT_EQ(CodePage::find(1251)->decode(bytes), u"При\0\u0098z"s);
  EXPECT_EQ(CodePage::find(866)->decode(std::vector<std::uint8_t>{0x8F, 0xE0, 0xA8}), u"При");
  EXPECT_TRUE(CodePage::find(866)->decode(std::span<const std::uint8_t>()).empty());
}

struct PageTable {
  char16_t chars[256];
};

PageTable shiftedCyrillicTable() {
  PageTable t{};
  for (int b = 0; b < 256; ++b) t.chars[b] = b < 0x80 ? char16_t(b) : char16_t(0x0400 + b);
  return t;
}

TEST(CodePageTest, ReverseTableBuiltUnderConcurrentFirstUseIsComplete) {
  // A page of its own, so the threads below are the first to encode with it.
  static const PageTable table = shiftedCyrillicTable();
  const CodePage page(60000, table.chars);
  std::u16string text(table.chars, 256);
  text += u'\u4E00';
  std::vector<std::uint8_t> expected(256);
  for (int b = 0; b < 256; ++b) expected[b] = static_cast<std::uint8_t>(b);
  expected.push_back('?');

  std::vector<std::vector<std::uint8_t>> results(8);
  std::vector<std::thread> threads;
  for (std::size_t i = 0; i < results.size(); ++i) {
    threads.emplace_back([&page, &text, &results, i] { results[i] = bytesOf(page.encode(text)); });
  }
  for (std::thread& t : threads) t.join();
  for (const auto& result : results) EXPECT_EQ(result, expected);
}

}  // namespace
}  // namespace tov::platform
