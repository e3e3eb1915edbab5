#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>

#include "CodePageOverride.h"
#include "TempDir.h"
#include "fileio/tovDescriptIon.h"
#include "fileio/tovFSO.h"

using ferrule::tovDescriptIon;
using tovtest::readBytes;
using tovtest::u16;
using tovtest::writeBytes;
namespace fs = std::filesystem;

namespace {

// "Программа" in code page 866; its last letter is 0xA0, the no-break
// space of the ANSI pages.
const std::string kProgram866 = "\x8F\xE0\xAE\xA3\xE0\xA0\xAC\xAC\xA0";

class Descriptions : public ::testing::Test {
 protected:
  tovtest::CodePageOverride pages{"1251", "866"};
  tovtest::TempDir dir{"descr"};
  fs::path file = dir / "Descript.ion";
  std::u16string name = u16(file);
  std::u16string path = u16(dir.path());
  ferrule::tovFSO fso;

  std::u16string in(const std::string& fileName) const { return u16(dir / fileName); }

  std::vector<std::pair<std::u16string, std::u16string>> entries(const tovDescriptIon& list) const {
    std::vector<std::pair<std::u16string, std::u16string>> out;
    for (std::int32_t i = 0; i < list.ItemCount(); ++i) out.emplace_back(list.ItemFileName(i), list.ItemDescription(i));
    return out;
  }

  std::string dosAttributes(const fs::path& p) const {
    char buf[32] = {};
    const ssize_t n = getxattr(p.c_str(), "user.DOSATTRIB", buf, sizeof buf - 1);
    return n > 0 ? std::string(buf, static_cast<std::size_t>(n)) : std::string();
  }
};

using Entries = std::vector<std::pair<std::u16string, std::u16string>>;

TEST_F(Descriptions, ReadingTakesOneEntryPerValidLineAndTheFirstLineForANameWins) {
  writeBytes(file,
             "plain.txt   spaced out text  \r\n"
             "\"with blank.txt\" quoted name\r\n"
             "tabbed.txt\tafter a tab\r\n"
             "empty.txt \r\n"
             " leading-space.txt ignored\r\n"
             "\tleading-tab.txt ignored\r\n"
             "noseparator.txt\r\n"
             "\"\"x empty quoted name\r\n"
             "quote.txt \"\r\n"
             "\"unterminated quote\r\n"
             "\"\"\"\"\r\n"
             "PLAIN.TXT second line for the same name\r\n"
             "\x94\xA0\xA9\xAB.txt lower\r\n"    // "Файл.txt"
             "\x94\x80\x89\x8B.TXT upper\r\n");  // "ФАЙЛ.TXT": same key
  tovDescriptIon list;
  ASSERT_TRUE(list.ReadFile(name));
  EXPECT_EQ(list.FileName(), name);
  EXPECT_EQ(entries(list), (Entries{{u"plain.txt", u"spaced out text"},
                                    {u"with blank.txt", u"quoted name"},
                                    {u"tabbed.txt", u"after a tab"},
                                    {u"empty.txt", u""},
                                    {u"Файл.txt", u"lower"}}));
  EXPECT_EQ(list.ItemDescriptionByFileName(u"WITH BLANK.TXT"), u"quoted name");
  EXPECT_EQ(list.ItemDescriptionByFileName(u"файл.TXT"), u"lower");
  EXPECT_EQ(list.ItemDescriptionByFileName(u""), u"");
  EXPECT_EQ(list.ItemDescriptionByFileName(u"absent.txt"), u"");
  EXPECT_EQ(list.ItemFileName(-1), u"");
  EXPECT_EQ(list.ItemDescription(list.ItemCount()), u"");
}

TEST_F(Descriptions, EveryLineEndIsReadAndCrLfIsWritten) {
  writeBytes(file, "a.txt one\rb.txt two\nc.txt three\r\n\r\n\nd.txt four");
  tovDescriptIon list;
  ASSERT_TRUE(list.ReadFile(name));
  EXPECT_EQ(entries(list), (Entries{{u"a.txt", u"one"}, {u"b.txt", u"two"}, {u"c.txt", u"three"}, {u"d.txt", u"four"}}));
  ASSERT_TRUE(list.WriteFile());
  EXPECT_EQ(readBytes(file), "a.txt one\r\nb.txt two\r\nc.txt three\r\nd.txt four\r\n");
}

TEST_F(Descriptions, QuotedAndCyrillicEntriesRoundTripThroughOem) {
  writeBytes(file, "\"my file.txt\" some text\r\n" + kProgram866 + ".exe " + kProgram866 + "\r\n");
  tovDescriptIon list;
  ASSERT_TRUE(list.ReadFile(name));
  // Decoded before trimming: the last letter is no blank.
  EXPECT_EQ(entries(list), (Entries{{u"my file.txt", u"some text"}, {u"Программа.exe", u"Программа"}}));
  ASSERT_TRUE(list.WriteFile());
  EXPECT_EQ(readBytes(file), "\"my file.txt\" some text\r\n" + kProgram866 + ".exe " + kProgram866 + "\r\n");

  EXPECT_TRUE(list.AddItem(u"новый файл.txt", u"Описание а"));
  ASSERT_TRUE(list.WriteFile());
  tovDescriptIon again;
  ASSERT_TRUE(again.ReadFile(name));
  EXPECT_EQ(again.ItemDescriptionByFileName(u"НОВЫЙ ФАЙЛ.TXT"), u"Описание а");
}

TEST_F(Descriptions, AMissingFileIsAnEmptyListThatKnowsWhereItBelongs) {
  tovDescriptIon list;
  ASSERT_TRUE(list.ReadDirectoryFile(path));
  EXPECT_EQ(list.ItemCount(), 0);
  EXPECT_EQ(list.FileName(), name);
  EXPECT_TRUE(list.WriteFile());  // empty: nothing to write, nothing to delete
  EXPECT_FALSE(fs::exists(file));
  list.AddItem(u"a.txt", u"x");
  ASSERT_TRUE(list.WriteFile());
  EXPECT_EQ(readBytes(file), "a.txt x\r\n");

  tovDescriptIon fresh;
  EXPECT_FALSE(fresh.WriteFile());
  EXPECT_FALSE(fresh.WriteDirectoryFile());
  fresh.AddItem(u"b.txt", u"y");
  EXPECT_FALSE(fresh.WriteFile());
  // Reading a directory whose path does not exist is a failure, not an empty list.
  EXPECT_FALSE(list.ReadDirectoryFile(in("no/such")));
  EXPECT_EQ(list.FileName(), u"");
  EXPECT_FALSE(list.ReadFile(u""));
}

TEST_F(Descriptions, AddItemReplacesAnEntryByMovingItToTheEndInTheNewLetterCase) {
  tovDescriptIon list;
  list.AddItem(u"one.txt", u"1");
  list.AddItem(u"two.txt", u"2");
  list.AddItem(u"three.txt", u"3");
  EXPECT_TRUE(list.AddItem(u"ONE.txt", u"first"));
  EXPECT_EQ(entries(list), (Entries{{u"two.txt", u"2"}, {u"three.txt", u"3"}, {u"ONE.txt", u"first"}}));
  EXPECT_FALSE(list.AddItem(u"two.txt", u""));
  EXPECT_FALSE(list.AddItem(u"", u"nothing"));
  EXPECT_EQ(list.ItemCount(), 3);
  EXPECT_EQ(list.ItemDescriptionByFileName(u"two.txt"), u"2");
}

TEST_F(Descriptions, RemovalByPositionAndByName) {
  tovDescriptIon list;
  for (const char16_t* n : {u"a", u"b", u"c", u"d"}) list.AddItem(n, n);
  EXPECT_FALSE(list.RemoveItem(list.ItemCount()));
  EXPECT_FALSE(list.RemoveItem(-1));
  EXPECT_TRUE(list.RemoveItem(0));
  EXPECT_FALSE(list.RemoveItemByFileName(u"a"));
  EXPECT_FALSE(list.RemoveItemByFileName(u""));
  EXPECT_TRUE(list.RemoveItemByFileName(u"C"));
  EXPECT_EQ(entries(list), (Entries{{u"b", u"b"}, {u"d", u"d"}}));
  // Look-ups still find the entries that moved up.
  EXPECT_EQ(list.ItemDescriptionByFileName(u"D"), u"d");
  list.AddItem(u"b", u"again");
  EXPECT_EQ(entries(list), (Entries{{u"d", u"d"}, {u"b", u"again"}}));
  list.Clear();
  EXPECT_EQ(list.ItemCount(), 0);
  EXPECT_EQ(list.ItemDescriptionByFileName(u"d"), u"");
}

TEST_F(Descriptions, AListEditedForLongKeepsEveryEntryIntact) {
  tovDescriptIon list;
  for (int round = 0; round < 50; ++round) {
    for (int i = 0; i < 20; ++i) {
      const std::string n = std::to_string(i);
      list.AddItem(std::u16string(n.begin(), n.end()) + u".txt",
                   std::u16string(100, static_cast<char16_t>(u'a' + (round + i) % 26)));
    }
    list.RemoveItem(round % 20);
  }
  ASSERT_EQ(list.ItemCount(), 19);
  for (std::int32_t i = 0; i < list.ItemCount(); ++i) {
    const std::u16string d = list.ItemDescription(i);
    ASSERT_EQ(d.size(), 100u);
    EXPECT_EQ(d.find_first_not_of(d[0]), std::u16string::npos) << i;
    EXPECT_EQ(list.ItemDescriptionByFileName(list.ItemFileName(i)), d);
  }
}

TEST_F(Descriptions, TheWrittenFileIsHiddenAndAHiddenReadOnlyFileIsReplaced) {
  ASSERT_TRUE(fso.SetFileDescription(in("a.txt"), u"first"));
  EXPECT_EQ(dosAttributes(file), "0x2");
  chmod(file.c_str(), 0444);
  ASSERT_TRUE(fso.SetFileDescription(in("b.txt"), u"second"));
  EXPECT_EQ(readBytes(file), "a.txt first\r\nb.txt second\r\n");
  EXPECT_EQ(dosAttributes(file), "0x2");
  EXPECT_NE(fs::status(file).permissions() & fs::perms::owner_write, fs::perms::none);
}

TEST_F(Descriptions, FsoMembersGetSetAndDeleteOneFilesDescription) {
  EXPECT_EQ(fso.GetFileDescription(in("a.txt")), u"");
  ASSERT_TRUE(fso.SetFileDescription(in("a.txt"), u"alpha"));
  ASSERT_TRUE(fso.SetFileDescription(in("b c.txt"), u"beta"));
  EXPECT_EQ(fso.GetFileDescription(in("A.TXT")), u"alpha");
  // An empty text changes nothing but still writes the list back.
  ASSERT_TRUE(fso.SetFileDescription(in("a.txt"), u""));
  EXPECT_EQ(fso.GetFileDescription(in("a.txt")), u"alpha");
  ASSERT_TRUE(fso.DeleteFileDescription(in("missing.txt")));
  ASSERT_TRUE(fso.DeleteFileDescription(in("a.txt")));
  EXPECT_EQ(readBytes(file), "\"b c.txt\" beta\r\n");
  // The last description gone, the file goes too.
  ASSERT_TRUE(fso.DeleteFileDescription(in("B C.txt")));
  EXPECT_FALSE(fs::exists(file));
  EXPECT_TRUE(fso.DeleteFileDescription(in("b c.txt")));
  EXPECT_FALSE(fso.SetFileDescription(in("no/such/dir.txt"), u"x"));
}

TEST_F(Descriptions, AReadOnlyFileOfAnEmptiedListIsDeleted) {
  ASSERT_TRUE(fso.SetFileDescription(in("a.txt"), u"x"));
  chmod(file.c_str(), 0444);
  EXPECT_TRUE(fso.DeleteFileDescription(in("a.txt")));
  EXPECT_FALSE(fs::exists(file));
}

TEST_F(Descriptions, AFileNamedWithOtherLetterCaseIsTheDirectorysList) {
  writeBytes(dir / "descript.ion", "a.txt old\r\n");
  EXPECT_EQ(fso.GetFileDescription(in("a.txt")), u"old");
  ASSERT_TRUE(fso.SetFileDescription(in("b.txt"), u"new"));
  EXPECT_FALSE(fs::exists(file));
  EXPECT_EQ(readBytes(dir / "descript.ion"), "a.txt old\r\nb.txt new\r\n");
  // The exact name wins over a variant.
  writeBytes(file, "a.txt exact\r\n");
  EXPECT_EQ(fso.GetFileDescription(in("a.txt")), u"exact");
}

// A write that fails part-way leaves the old list as it was.
TEST_F(Descriptions, AFailedWriteLeavesTheOldFileByteForByte) {
  const std::string old = "a.txt keep me\r\nb.txt and me\r\n";
  writeBytes(file, old);
  const auto previous = std::signal(SIGXFSZ, SIG_IGN);
  rlimit limit{};
  getrlimit(RLIMIT_FSIZE, &limit);
  rlimit small = limit;
  small.rlim_cur = 64;
  setrlimit(RLIMIT_FSIZE, &small);
  const bool result = fso.SetFileDescription(in("c.txt"), std::u16string(200, u'x'));
  setrlimit(RLIMIT_FSIZE, &limit);
  std::signal(SIGXFSZ, previous);
  EXPECT_FALSE(result);
  EXPECT_EQ(readBytes(file), old);
  int files = 0;
  for ([[maybe_unused]] const auto& e : fs::directory_iterator(dir.path())) ++files;
  EXPECT_EQ(files, 1) << "a temporary file was left behind";
}

TEST_F(Descriptions, ProcessesDescribingFilesAtOnceLoseNoEntry) {
  constexpr int kProcesses = 3;
  constexpr int kEach = 60;
  std::vector<pid_t> children;
  for (int p = 0; p < kProcesses; ++p) {
    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      bool ok = true;
      for (int i = 0; i < kEach; ++i) {
        ok = fso.SetFileDescription(in(std::to_string(p) + "-" + std::to_string(i) + ".txt"), u"text") && ok;
      }
      _exit(ok ? 0 : 1);
    }
    children.push_back(pid);
  }
  for (pid_t pid : children) {
    int status = 0;
    waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "a set failed";
  }
  tovDescriptIon list;
  ASSERT_TRUE(list.ReadFile(name));
  EXPECT_EQ(list.ItemCount(), kProcesses * kEach);
}

TEST_F(Descriptions, LineBreaksInADescriptionCannotForgeAnotherEntry) {
  ASSERT_TRUE(fso.SetFileDescription(in("a.txt"), u"one\r\nvictim.txt forged\rtwo\nthree"));
  EXPECT_EQ(readBytes(file), "a.txt one victim.txt forged two three\r\n");
  EXPECT_EQ(fso.GetFileDescription(in("victim.txt")), u"");
  // A name with a line break would describe another file; it is refused.
  EXPECT_FALSE(fso.SetFileDescription(in("x\ny.txt"), u"text"));
  EXPECT_EQ(readBytes(file), "a.txt one victim.txt forged two three\r\n");
}

TEST_F(Descriptions, TextTheOemPageCannotHoldFailsTheSetAndWritesNothing) {
  ASSERT_TRUE(fso.SetFileDescription(in("a.txt"), u"kept"));
  const std::string before = readBytes(file);
  EXPECT_FALSE(fso.SetFileDescription(in("café.txt"), u"x"));
  EXPECT_FALSE(fso.SetFileDescription(in("日本.txt"), u"x"));
  EXPECT_FALSE(fso.SetFileDescription(in("中国.txt"), u"x"));
  EXPECT_FALSE(fso.SetFileDescription(in("a.txt"), u"naïve"));
  EXPECT_EQ(readBytes(file), before);
  EXPECT_EQ(fso.GetFileDescription(in("a.txt")), u"kept");
  {
    // Under a page that has the letter, the same name is fine.
    tovtest::CodePageOverride western("1252", "850");
    ASSERT_TRUE(fso.SetFileDescription(in("café.txt"), u"ok"));
    EXPECT_EQ(fso.GetFileDescription(in("CAFÉ.TXT")), u"ok");
  }
  // A name that is no valid UTF-8 on disk has no OEM form either.
  EXPECT_FALSE(fso.SetFileDescription(path + u"/bad\xDCFF.txt", u"x"));
}

TEST_F(Descriptions, DoubleQuotesThatWouldNotReadBackAreRefused) {
  ASSERT_TRUE(fso.SetFileDescription(in("a.txt"), u"kept"));
  const std::string before = readBytes(file);
  for (const char16_t* bad : {u"\"a.txt", u"\"", u"a \"b.txt", u"\"a b\".txt"}) {
    EXPECT_FALSE(fso.SetFileDescription(path + u"/" + bad, u"x"));
  }
  EXPECT_FALSE(fso.SetFileDescription(in("a.txt"), u"\""));
  EXPECT_FALSE(fso.SetFileDescription(in("a.txt"), u"  \"  "));
  EXPECT_EQ(readBytes(file), before);
  EXPECT_EQ(fso.GetFileDescription(in("a.txt")), u"kept");
  // Inside or at the end of a name without blanks a quote reads back as written.
  ASSERT_TRUE(fso.SetFileDescription(in("a\"b.txt"), u"inner \"quote\""));
  EXPECT_EQ(fso.GetFileDescription(in("a\"b.txt")), u"inner \"quote\"");
  ASSERT_TRUE(fso.SetFileDescription(in("a.txt\""), u"trailing"));
  EXPECT_EQ(fso.GetFileDescription(in("a.txt\"")), u"trailing");
  EXPECT_EQ(fso.GetFileDescription(in("a.txt")), u"kept");
  tovDescriptIon list;
  EXPECT_FALSE(list.AddItem(u"\"x", u"y"));
  EXPECT_EQ(list.ItemCount(), 0);
}

// One odd line must not stop the directory's list from being written again.
TEST_F(Descriptions, EveryEntryReadFromAFileIsWrittenBackAsItWasRead) {
  writeBytes(file, "odd\"\" ends in two quotes\r\nin\"side x\r\n\"sp ace\" y\r\n");
  tovDescriptIon list;
  ASSERT_TRUE(list.ReadFile(name));
  const Entries read = entries(list);
  EXPECT_EQ(read, (Entries{{u"odd\"", u"ends in two quotes"}, {u"in\"side", u"x"}, {u"sp ace", u"y"}}));
  ASSERT_TRUE(list.WriteFile());
  EXPECT_EQ(readBytes(file), "odd\"\" ends in two quotes\r\nin\"side x\r\n\"sp ace\" y\r\n");
}

TEST_F(Descriptions, WhatIsNotAReadableRegularFileIsLeftAlone) {
  fs::create_directory(file);
  EXPECT_FALSE(fso.SetFileDescription(in("a.txt"), u"x"));
  EXPECT_FALSE(fso.DeleteFileDescription(in("a.txt")));
  EXPECT_EQ(fso.GetFileDescription(in("a.txt")), u"");
  EXPECT_TRUE(fs::is_directory(file));
  fs::remove(file);

  ASSERT_EQ(mkfifo(file.c_str(), 0644), 0);
  EXPECT_FALSE(fso.SetFileDescription(in("a.txt"), u"x"));  // returns at once, no writer needed
  EXPECT_TRUE(fs::is_fifo(file));
  fs::remove(file);

  fs::create_symlink("/dev/zero", file);
  EXPECT_FALSE(fso.SetFileDescription(in("a.txt"), u"x"));
  EXPECT_TRUE(fs::is_symlink(file));
  fs::remove(file);

  fs::create_symlink("Descript.ion", file);  // a loop
  EXPECT_FALSE(fso.SetFileDescription(in("a.txt"), u"x"));
  EXPECT_TRUE(fs::is_symlink(file));
}

TEST_F(Descriptions, ANameWithANulNamesNoOtherFile) {
  writeBytes(dir / "a", "not a list\r\n");
  const std::u16string cut = path + std::u16string(u"/a\0/b.txt", 9);
  EXPECT_FALSE(fso.SetFileDescription(cut, u"x"));
  EXPECT_EQ(fso.GetFileDescription(path + std::u16string(u"/a\0/not", 7)), u"");
  tovDescriptIon list;
  list.AddItem(u"b.txt", u"x");
  EXPECT_FALSE(list.WriteFile(path + std::u16string(u"/c\0d", 4)));
  EXPECT_FALSE(fs::exists(dir / "c"));
  EXPECT_EQ(readBytes(dir / "a"), "not a list\r\n");
}

TEST_F(Descriptions, ALinkedListIsReadThroughTheLink) {
  tovtest::TempDir elsewhere{"descr-target"};
  writeBytes(elsewhere / "list", "a.txt through the link\r\n");
  fs::create_symlink(elsewhere / "list", file);
  EXPECT_EQ(fso.GetFileDescription(in("a.txt")), u"through the link");
}

TEST_F(Descriptions, JunkReadsWithoutFailingAndOnlyEntriesAreKept) {
  std::string junk;
  for (int i = 0; i < 4096; ++i) junk.push_back(static_cast<char>((i * 7919) % 251));
  junk += "\r\nreal.txt description\x1A\r\n";
  writeBytes(file, junk);
  tovDescriptIon list;
  ASSERT_TRUE(list.ReadFile(name));
  EXPECT_EQ(list.ItemDescriptionByFileName(u"real.txt"), u"description\x1A");
  // Whatever was read can be written and read back the same.
  ASSERT_TRUE(list.WriteFile());
  tovDescriptIon again;
  ASSERT_TRUE(again.ReadFile(name));
  EXPECT_EQ(entries(again), entries(list));

  writeBytes(file, "");
  ASSERT_TRUE(list.ReadFile(name));
  EXPECT_EQ(list.ItemCount(), 0);
}

TEST_F(Descriptions, AVeryLongLineStaysOneEntry) {
  const std::string text(300 * 1024, 'x');
  writeBytes(file, "big.txt " + text + "\r\nnext.txt n\r\n");
  tovDescriptIon list;
  ASSERT_TRUE(list.ReadFile(name));
  ASSERT_EQ(list.ItemCount(), 2);
  EXPECT_EQ(list.ItemDescription(0).size(), text.size());
}

}  // namespace
