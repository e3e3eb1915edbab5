#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "CodePageOverride.h"
#include "TempDir.h"
#include "fileio/TextFileLines.h"
#include "fileio/tovFSO.h"
#include "support/ErrorRecord.h"

using ferrule::ListFileItems;
using tovtest::u16;
using tovtest::writeBytes;
namespace fs = std::filesystem;

namespace {

using Texts = std::vector<std::u16string>;

class ListFiles : public ::testing::Test {
 protected:
  tovtest::CodePageOverride pages{"1251", "866"};
  tovtest::TempDir dir{"list"};
  fs::path file = dir / "list.txt";
  std::u16string name = u16(file);
  ferrule::tovFSO fso;

  // The items' texts, checking on the way that every key is its position.
  Texts read(std::u16string_view comment = u";", bool ignoreBlanks = true, bool trim = true, bool oem = false) {
    auto items = fso.ReadStandardListFile(name, comment, ignoreBlanks, trim, oem, true);
    Texts texts;
    for (std::size_t i = 0; i < items->size(); ++i) {
      const std::string number = std::to_string(i + 1);
      EXPECT_EQ((*items)[i].key, std::u16string(number.begin(), number.end()));
      texts.push_back((*items)[i].text);
    }
    return texts;
  }

  std::int32_t raisedNumber(const std::u16string& fileName) {
    try {
      fso.ReadStandardListFile(fileName, u";", true, true, false, true);
    } catch (const tov::RuntimeError& e) {
      return e.record().number;
    }
    return 0;
  }
};

TEST_F(ListFiles, CommentBlankAndTrimRules) {
  writeBytes(file, "alpha\r\n  beta  \r\n\r\n; note\r\n  ;x\r\n");
  EXPECT_EQ(read(), (Texts{u"alpha", u"beta"}));
  EXPECT_EQ(read(u";", true, false), (Texts{u"alpha", u"  beta  "}));
  EXPECT_EQ(read(u";", false, true), (Texts{u"alpha", u"beta", u""}));
  EXPECT_EQ(read(u""), (Texts{u"alpha", u"beta", u"; note", u";x"}));
  EXPECT_EQ(read(u"#"), (Texts{u"alpha", u"beta", u"; note", u";x"}));
  writeBytes(file, "   \r\n//c\r\n/ not a comment\r\nREM upper\r\nrem lower\r\n");
  EXPECT_EQ(read(u"//", false, false), (Texts{u"   ", u"/ not a comment", u"REM upper", u"rem lower"}));
  EXPECT_EQ(read(u"rem"), (Texts{u"//c", u"/ not a comment", u"REM upper"}));
}

TEST_F(ListFiles, EveryLineEndEndsALineAndNoneIsNeededAtTheEnd) {
  writeBytes(file, "crlf\r\ncr\rlf\nlast");
  EXPECT_EQ(read(), (Texts{u"crlf", u"cr", u"lf", u"last"}));
  writeBytes(file, "a\r\n\r\n");
  EXPECT_EQ(read(u";", false), (Texts{u"a", u""}));
  writeBytes(file, "a\r\r\n\n\r");
  EXPECT_EQ(read(u";", false), (Texts{u"a", u"", u"", u""}));
  writeBytes(file, "");
  EXPECT_EQ(read(u";", false), Texts{});
}

// However the bytes arrive, the lines are the same.
TEST(TextLineSplitter, PiecesSplitAnywhereGiveTheSameLines) {
  tovtest::CodePageOverride pages{"1251", "866"};
  const std::string text = "one\r\ntwo\rthree\n\r\n\r\r\n\nlast \xCF";
  const Texts expected{u"one", u"two", u"three", u"", u"", u"", u"", u"last П"};
  auto split = [&](const std::vector<std::size_t>& cuts) {
    Texts lines;
    ferrule::TextLineSplitter splitter(tov::platform::ansiCodePage(),
                                       [&](std::u16string_view line) { lines.emplace_back(line); });
    std::size_t from = 0;
    for (std::size_t cut : cuts) {
      splitter.feed(std::span(reinterpret_cast<const std::uint8_t*>(text.data()) + from, cut - from));
      from = cut;
    }
    splitter.feed(std::span(reinterpret_cast<const std::uint8_t*>(text.data()) + from, text.size() - from));
    splitter.finish();
    return lines;
  };
  EXPECT_EQ(split({}), expected);
  for (std::size_t a = 0; a <= text.size(); ++a) {
    for (std::size_t b = a; b <= text.size(); ++b) ASSERT_EQ(split({a, b}), expected) << a << " " << b;
  }
  std::vector<std::size_t> everyByte;
  for (std::size_t i = 1; i < text.size(); ++i) everyByte.push_back(i);
  EXPECT_EQ(split(everyByte), expected);
}

TEST_F(ListFiles, AnsiAndOemText) {
  // "Программа" in 866 ends in 0xA0, a no-break space in 1251.
  writeBytes(file, "  \x8F\xE0\xAE\xA3\xE0\xA0\xAC\xAC\xA0  \r\n");
  EXPECT_EQ(read(u";", true, true, true), Texts{u"Программа"});
  writeBytes(file, "\xCF\xF0\xEE\xE3\xF0\xE0\xEC\xEC\xE0\r\n");
  EXPECT_EQ(read(), Texts{u"Программа"});
  // A marker outside ASCII is compared with the decoded line.
  writeBytes(file, "\xB9 comment\r\nitem\r\n");
  EXPECT_EQ(read(u"№"), Texts{u"item"});
}

TEST_F(ListFiles, FailuresAreNoListOrTheRaisedError) {
  const std::u16string missing = u16(dir / "missing.txt");
  EXPECT_FALSE(fso.ReadStandardListFile(missing));
  EXPECT_EQ(raisedNumber(missing), 53);
  EXPECT_EQ(raisedNumber(u16(dir / "no" / "dir.txt")), 76);
  EXPECT_EQ(raisedNumber(u16(dir.path())), 75);
  EXPECT_EQ(raisedNumber(u""), 52);
  try {
    fso.ReadStandardListFile(missing, u";", true, true, false, true);
  } catch (const tov::RuntimeError& e) {
    EXPECT_EQ(e.record().description, u"File not found");
    EXPECT_EQ(e.record().hresult(), 0x800A0035u);
  }
  // An empty file is no failure.
  writeBytes(file, "");
  ASSERT_TRUE(fso.ReadStandardListFile(name));
  EXPECT_TRUE(fso.ReadStandardListFile(name)->empty());
}

TEST_F(ListFiles, DevicesAndPipesAreRefusedWithoutWaiting) {
  const fs::path fifo = dir / "fifo";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0644), 0);
  EXPECT_EQ(raisedNumber(u16(fifo)), 75);
  EXPECT_EQ(raisedNumber(u"/dev/zero"), 75);
  EXPECT_FALSE(fso.ReadStandardListFile(u"/dev/zero"));
  // A file the kernel makes up as it is read has no size but is read whole.
  auto items = fso.ReadStandardListFile(u"/proc/self/status");
  ASSERT_TRUE(items);
  EXPECT_GT(items->size(), 5u);
}

TEST_F(ListFiles, AFileTooLargeToHoldIsRefusedBeforeItIsRead) {
  writeBytes(file, "");
  if (truncate(file.c_str(), 3LL << 30) != 0) GTEST_SKIP() << "no sparse files here";
  EXPECT_EQ(raisedNumber(name), 7);
}

}  // namespace
