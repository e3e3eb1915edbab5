#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>

#include "TempDir.h"
#include "fileio/tovFSO.h"
#include "platform/FileHandle.h"
#include "support/ErrorRecord.h"

using ferrule::tovFSO;
using tov::ByteArray;
using tov::RuntimeError;
using tovtest::readBytes;
using tovtest::u16;
using tovtest::writeBytes;

namespace {

class WholeFileTest : public ::testing::Test {
 protected:
  tovtest::TempDir dir{"fso"};
  tovFSO fso;
  std::filesystem::path file = dir / "f.bin";
  std::u16string name = u16(file);

  // The error a call raises; fails the test when it raises none.
  template <typename F>
  tov::ErrorRecord raised(F&& call) {
    try {
      call();
    } catch (const RuntimeError& e) {
      return e.record();
    }
    ADD_FAILURE() << "no error raised";
    return {};
  }
};

std::string bytesOf(const ByteArray& a) { return std::string(a.data(), a.data() + a.size()); }

TEST_F(WholeFileTest, GetFileBReadsWholeFileWithLowerBoundZero) {
  writeBytes(file, std::string("\x00\x01\xFFxyz", 6));
  const ByteArray a = fso.GetFileB(name);
  EXPECT_EQ(a.lowerBound(), 0);
  EXPECT_EQ(a.upperBound(), 5);
  EXPECT_EQ(bytesOf(a), std::string("\x00\x01\xFFxyz", 6));
}

TEST_F(WholeFileTest, EmptyFileReadsAsEmptyEvenWhenRaising) {
  writeBytes(file, "");
  EXPECT_TRUE(fso.GetFileB(name, true).empty());
  EXPECT_EQ(fso.GetFileB(name, true).upperBound(), -1);
  EXPECT_EQ(fso.GetFile(name, true), u"");
  EXPECT_EQ(fso.GetFileW(name, true), u"");
  writeBytes(file, "A");
  EXPECT_EQ(fso.GetFileW(name, true), u"");
}

TEST_F(WholeFileTest, MissingFileGivesEmptyResultOrError53) {
  EXPECT_TRUE(fso.GetFileB(name).empty());
  EXPECT_EQ(fso.GetFile(name), u"");
  EXPECT_EQ(fso.GetFileW(name), u"");
  for (auto call : {+[](tovFSO& f, const std::u16string& n) { f.GetFileB(n, true); },
                    +[](tovFSO& f, const std::u16string& n) { f.GetFile(n, true); },
                    +[](tovFSO& f, const std::u16string& n) { f.GetFileW(n, true); }}) {
    const auto e = raised([&] { call(fso, name); });
    EXPECT_EQ(e.number, 53);
    EXPECT_EQ(e.description, u"File not found");
    EXPECT_EQ(e.hresult(), 0x800A0035u);
  }
  // A directory is not a file.
  EXPECT_EQ(raised([&] { fso.GetFileB(u16(dir.path()), true); }).number, 53);
}

TEST_F(WholeFileTest, GetFileWRecognisesHeaderAndByteOrder) {
  struct Case {
    std::string bytes;
    std::u16string text;
  } cases[] = {
      {std::string("\xFF\xFE\x41\x00", 4), u"A"},
      {std::string("\xFE\xFF\x00\x41", 4), u"A"},
      {std::string("\x41\x00", 2), u"A"},
      {std::string("\xFF\xFE\xFF\xFE\x41\x00", 6), u"\uFEFFA"},
      {std::string("\x41\x00\x42", 3), u"A"},
      {std::string("\x00\x41", 2), u"\u4100"},
  };
  for (const auto& c : cases) {
    writeBytes(file, c.bytes);
    EXPECT_EQ(fso.GetFileW(name), c.text);
  }
}

TEST_F(WholeFileTest, InvertedOddFileRaisesNineOnlyWhenAsked) {
  writeBytes(file, std::string("\xFE\xFF\x00\x41\x00", 5));
  EXPECT_EQ(fso.GetFileW(name), u"A");
  const auto e = raised([&] { fso.GetFileW(name, true); });
  EXPECT_EQ(e.number, 9);
  EXPECT_EQ(e.description, u"Subscript out of range");
}

TEST_F(WholeFileTest, PutFileWWritesHeaderAndByteOrder) {
  ASSERT_TRUE(fso.PutFileW(name, u"A"));
  EXPECT_EQ(readBytes(file), std::string("\xFF\xFE\x41\x00", 4));
  ASSERT_TRUE(fso.PutFileW(name, u"A", false, true, true));
  EXPECT_EQ(readBytes(file), std::string("\xFE\xFF\x00\x41", 4));
  ASSERT_TRUE(fso.PutFileW(name, u"A", false, false));
  EXPECT_EQ(readBytes(file), std::string("\x41\x00", 2));
  ASSERT_TRUE(fso.PutFileW(name, u""));
  EXPECT_EQ(readBytes(file), std::string("\xFF\xFE", 2));
  ASSERT_TRUE(fso.PutFile(name, u""));
  EXPECT_TRUE(std::filesystem::exists(file));
  EXPECT_EQ(std::filesystem::file_size(file), 0u);
}

TEST_F(WholeFileTest, AppendFileWPutsHeaderOnlyIntoNewFile) {
  ASSERT_TRUE(fso.AppendFileW(name, u"A"));
  ASSERT_TRUE(fso.AppendFileW(name, u"B"));
  EXPECT_EQ(readBytes(file), std::string("\xFF\xFE\x41\x00\x42\x00", 6));
  // An existing empty file gets no header either.
  writeBytes(file, "");
  ASSERT_TRUE(fso.AppendFileW(name, u"C"));
  EXPECT_EQ(readBytes(file), std::string("\x43\x00", 2));
}

TEST_F(WholeFileTest, PutAndOverwriteReplaceLongerContent) {
  const ByteArray three{1, 2, 3};
  writeBytes(file, "0123456789");
  ASSERT_TRUE(fso.PutFileB(name, three));
  EXPECT_EQ(readBytes(file), std::string("\x01\x02\x03", 3));
  writeBytes(file, "0123456789");
  ASSERT_TRUE(fso.OverwriteFileB(name, three));
  EXPECT_EQ(readBytes(file), std::string("\x01\x02\x03", 3));
  ASSERT_TRUE(fso.OverwriteFileW(name, u"A", false, true));
  EXPECT_EQ(readBytes(file), std::string("\x00\x41", 2));
}

TEST_F(WholeFileTest, ArraysWithAnyLowerBoundAreWrittenWhole) {
  const ByteArray shifted({7, 8, 9}, 5);
  ASSERT_TRUE(fso.PutFileB(name, shifted));
  ASSERT_TRUE(fso.AppendFileB(name, ByteArray({10}, -3)));
  EXPECT_EQ(readBytes(file), std::string("\x07\x08\x09\x0A", 4));
}

TEST_F(WholeFileTest, OverwriteOfMissingFileRaises57WhateverRaiseErrorsSays) {
  for (bool raise : {false, true}) {
    const auto e = raised([&] { fso.OverwriteFileB(name, ByteArray{1}, raise); });
    EXPECT_EQ(e.number, 57);
    EXPECT_EQ(e.source, u"tovFSO");
    EXPECT_EQ(e.description, u"Device I/O error");
    EXPECT_EQ(e.hresult(), 0x800A0039u);
    EXPECT_FALSE(std::filesystem::exists(file));
  }
  EXPECT_EQ(raised([&] { fso.OverwriteFile(name, u"x"); }).number, 57);
  EXPECT_EQ(raised([&] { fso.OverwriteFileW(name, u"x"); }).number, 57);
}

TEST_F(WholeFileTest, AppendCreatesMissingFileAndAddsAtTheEnd) {
  ASSERT_TRUE(fso.AppendFileB(name, ByteArray{'a', 'b'}));
  ASSERT_TRUE(fso.AppendFileB(name, ByteArray{'c'}));
  EXPECT_EQ(readBytes(file), "abc");
}

TEST_F(WholeFileTest, OverwriteKeepsTheFileItselfAndPutMakesAFreshOne) {
  writeBytes(file, "old");
  if (setxattr(file.c_str(), "user.keep", "1", 1, 0) != 0) GTEST_SKIP() << "no user xattrs here";
  struct stat before {};
  ::stat(file.c_str(), &before);
  ASSERT_TRUE(fso.OverwriteFile(name, u"new"));
  struct stat after {};
  ::stat(file.c_str(), &after);
  EXPECT_EQ(before.st_ino, after.st_ino);
  char v[4];
  EXPECT_EQ(getxattr(file.c_str(), "user.keep", v, sizeof v), 1);

  ASSERT_TRUE(fso.PutFile(name, u"fresh"));
  EXPECT_EQ(readBytes(file), "fresh");
  EXPECT_LT(getxattr(file.c_str(), "user.keep", v, sizeof v), 0);
}

TEST_F(WholeFileTest, ReadOnlyFileIsNeverReplaced) {
  writeBytes(file, "keep me");
  std::filesystem::permissions(file, std::filesystem::perms::owner_read);
  EXPECT_FALSE(fso.PutFileB(name, ByteArray{1}));
  EXPECT_FALSE(fso.PutFile(name, u"x"));
  EXPECT_EQ(raised([&] { fso.PutFile(name, u"x", true); }).number, 75);
  EXPECT_EQ(readBytes(file), "keep me");
}

TEST_F(WholeFileTest, MissingDirectoryFailsWithPathNotFound) {
  const std::u16string inMissing = u16(dir / "no" / "such" / "f.txt");
  EXPECT_FALSE(fso.PutFile(inMissing, u"x"));
  EXPECT_FALSE(fso.AppendFile(inMissing, u"x"));
  const auto e = raised([&] { fso.PutFileW(inMissing, u"x", true); });
  EXPECT_EQ(e.number, 76);
  EXPECT_EQ(e.description, u"Path not found");
}

// A write that cannot finish (here the file-size limit stands in for a full
// disk) fails and leaves the old file exactly as it was, with no stray file.
TEST_F(WholeFileTest, FailedPutLeavesOldFileIntact) {
  writeBytes(file, "precious old content");
  const auto previous = std::signal(SIGXFSZ, SIG_IGN);
  rlimit old {};
  getrlimit(RLIMIT_FSIZE, &old);
  rlimit small = old;
  small.rlim_cur = 1000;
  setrlimit(RLIMIT_FSIZE, &small);
  tov::ByteVector big(5000, 'x');
  const bool result = fso.PutFileB(name, ByteArray(big));
  tov::ErrorRecord e;
  try {
    fso.PutFileB(name, ByteArray(big), true);
  } catch (const RuntimeError& err) {
    e = err.record();
  }
  const bool appended = fso.AppendFileB(name, ByteArray(big));
  setrlimit(RLIMIT_FSIZE, &old);
  std::signal(SIGXFSZ, previous);

  EXPECT_FALSE(result);
  EXPECT_NE(e.number, 0);
  EXPECT_FALSE(appended);
  EXPECT_EQ(readBytes(file).substr(0, 20), "precious old content");
  int entries = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir.path())) ++entries;
  EXPECT_EQ(entries, 1);
}

// A directory that takes no new files still lets a writable file in it be
// replaced in place. (Root may create files anywhere, so this needs a user.)
TEST_F(WholeFileTest, PutIntoLockedDirectoryWritesTheFileInPlace) {
  if (geteuid() == 0) GTEST_SKIP() << "root ignores directory permissions";
  writeBytes(file, "0123456789");
  std::filesystem::permissions(dir.path(), std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
  const bool put = fso.PutFile(name, u"new");
  const bool created = fso.PutFile(u16(dir / "other.txt"), u"x");
  std::filesystem::permissions(dir.path(), std::filesystem::perms::owner_all);
  EXPECT_TRUE(put);
  EXPECT_EQ(readBytes(file), "new");
  EXPECT_FALSE(created);
}

TEST_F(WholeFileTest, HolderRefusingWritersBlocksPutAppendAndOverwrite) {
  writeBytes(file, "held");
  auto holder = tov::platform::FileHandle::open(name, tov::platform::kGenericRead,
                                                tov::platform::kFileShareRead,
                                                tov::platform::CreateDisposition::OpenExisting);
  ASSERT_TRUE(holder.valid());
  EXPECT_FALSE(fso.PutFile(name, u"x"));
  EXPECT_EQ(raised([&] { fso.PutFile(name, u"x", true); }).number, 70);
  EXPECT_FALSE(fso.AppendFile(name, u"x"));
  EXPECT_EQ(raised([&] { fso.OverwriteFile(name, u"x"); }).number, 57);
  // Readers are welcome.
  EXPECT_EQ(fso.GetFile(name), u"held");
  holder.close();
  EXPECT_TRUE(fso.PutFile(name, u"x"));
}

TEST_F(WholeFileTest, FilesOf2GiBOrMoreAreRefusedCleanly) {
  {
    std::ofstream create(file, std::ios::binary);
  }
  std::filesystem::resize_file(file, std::uint64_t{1} << 31);  // sparse: costs no disk
  EXPECT_TRUE(fso.GetFileB(name).empty());
  EXPECT_EQ(fso.GetFileW(name), u"");
  const auto e = raised([&] { fso.GetFileB(name, true); });
  EXPECT_EQ(e.number, 6);
  // Appending to it would pass the limit too.
  EXPECT_FALSE(fso.AppendFileB(name, ByteArray{1}));
  EXPECT_EQ(std::filesystem::file_size(file), std::uint64_t{1} << 31);
}

TEST_F(WholeFileTest, GeneratedFilesAreReadToTheEnd) {
  // The kernel reports a size of 0 for these; their text is still there.
  const std::u16string status = tovFSO().GetFile(u"/proc/self/status", true);
  EXPECT_NE(status.find(u"Name:"), std::u16string::npos);
  EXPECT_NE(status.find(u"VmPeak:"), std::u16string::npos);
  EXPECT_GT(fso.GetFileB(u"/proc/self/maps", true).size(), 0u);
}

TEST_F(WholeFileTest, PutWritesThroughAFifoAndLeavesItThere) {
  const auto fifo = dir / "pipe";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  EXPECT_FALSE(fso.PutFile(u16(fifo), u"nobody reads"));  // no reader: fails at once
  const int reader = open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
  ASSERT_GE(reader, 0);
  std::filesystem::create_symlink(fifo, dir / "out.txt");
  ASSERT_TRUE(fso.PutFile(u16(dir / "out.txt"), u"through", true));
  char buf[16] = {};
  EXPECT_EQ(read(reader, buf, sizeof buf), 7);
  close(reader);
  EXPECT_STREQ(buf, "through");
  EXPECT_TRUE(std::filesystem::is_fifo(std::filesystem::symlink_status(fifo)));
  EXPECT_TRUE(std::filesystem::is_symlink(std::filesystem::symlink_status(dir / "out.txt")));
}

TEST_F(WholeFileTest, PutKeepsPermissionsAndTakesTheLongestNames) {
  writeBytes(file, "secret");
  ASSERT_EQ(chmod(file.c_str(), 0600), 0);
  ASSERT_TRUE(fso.PutFile(name, u"new secret", true));
  struct stat st {};
  ASSERT_EQ(stat(file.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);

  const auto longest = dir / std::string(255, 'n');
  ASSERT_TRUE(fso.PutFile(u16(longest), u"first", true));
  ASSERT_TRUE(fso.PutFile(u16(longest), u"second", true));
  EXPECT_EQ(readBytes(longest), "second");
}

TEST_F(WholeFileTest, SwapBytePairsExchangesCompletePairs) {
  ByteArray even{1, 2, 3, 4};
  tovFSO::SwapBytePairs(even);
  EXPECT_EQ(even, (ByteArray{2, 1, 4, 3}));
  ByteArray odd{1, 2, 3};
  EXPECT_THROW(tovFSO::SwapBytePairs(odd), RuntimeError);
  EXPECT_EQ(odd, (ByteArray{2, 1, 3}));
  ByteArray none;
  EXPECT_NO_THROW(tovFSO::SwapBytePairs(none));
}

TEST_F(WholeFileTest, AnsiFormsConvertThroughTheAnsiCodePage) {
  setenv("TOVAPPS_ACP", "1251", 1);
  ASSERT_TRUE(fso.PutFile(name, u"Привет, Ёж"));
  EXPECT_EQ(readBytes(file), "\xCF\xF0\xE8\xE2\xE5\xF2, \xA8\xE6");
  EXPECT_EQ(fso.GetFile(name), u"Привет, Ёж");
  ASSERT_TRUE(fso.AppendFile(name, u"Ш€"));
  EXPECT_EQ(fso.GetFile(name), u"Привет, ЁжШ€");
  unsetenv("TOVAPPS_ACP");
}

}  // namespace
