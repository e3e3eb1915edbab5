// The Windows-style profile functions on real files: encodings, the integer
// rules, error reporting, and that a write never loses or damages a file.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

#include "ScopedEnv.h"
#include "TempDir.h"
#include "platform/FileHandle.h"
#include "platform/PrivateProfile.h"
#include "platform/ProfileFile.h"
#include "platform/WinError.h"

namespace tov::platform {
namespace {

using tovtest::readBytes;
using tovtest::u16;
using tovtest::writeBytes;

using tovtest::ScopedEnv;

class PrivateProfileTest : public ::testing::Test {
 protected:
  tovtest::TempDir dir_{"ini"};
  std::filesystem::path path_ = dir_ / "test.ini";
  std::u16string file_ = u16(path_);
};

TEST_F(PrivateProfileTest, MissingFileKeyOrSectionGiveTheDefault) {
  SetLastError(kErrorSuccess);
  EXPECT_EQ(GetPrivateProfileStringW(u"S", u"k", u"fallback  ", file_), u"fallback");
  EXPECT_EQ(GetLastError(), kErrorFileNotFound);
  EXPECT_EQ(GetPrivateProfileIntW(u"S", u"k", 7, file_), 7);
  EXPECT_FALSE(isProfileKeyPresent(u"S", u"k", file_));

  writeBytes(path_, "[S]\r\nk=v\r\nempty=\r\n");
  EXPECT_EQ(GetPrivateProfileStringW(u"S", u"k", u"d", file_), u"v");
  EXPECT_EQ(GetLastError(), kErrorSuccess);
  EXPECT_EQ(GetPrivateProfileStringW(u"S", u"other", u"d", file_), u"d");
  EXPECT_EQ(GetPrivateProfileStringW(u"T", u"k", u"d", file_), u"d");
  EXPECT_TRUE(isProfileKeyPresent(u"s", u"EMPTY", file_));
  EXPECT_FALSE(isProfileKeyPresent(u"S", u"other", file_));
}

TEST_F(PrivateProfileTest, IntegerRules) {
  writeBytes(path_,
             "[N]\r\ntrailing=  42abc\r\nletters=abc\r\nnegative=-5\r\nplus=+8\r\nhex=0x1F\r\nHEX=0X1f\r\n"
             "quoted=\"12\"\r\nempty=\r\nwraps=4294967295\r\nminusHex=-0x10\r\nbareHex=0x\r\n");
  EXPECT_EQ(GetPrivateProfileIntW(u"N", u"trailing", 99, file_), 42);
  EXPECT_EQ(GetPrivateProfileIntW(u"N", u"letters", 99, file_), 0);
  EXPECT_EQ(GetPrivateProfileIntW(u"N", u"negative", 99, file_), -5);
  EXPECT_EQ(GetPrivateProfileIntW(u"N", u"plus", 99, file_), 8);
  EXPECT_EQ(GetPrivateProfileIntW(u"N", u"hex", 99, file_), 31);
  EXPECT_EQ(GetPrivateProfileIntW(u"N", u"quoted", 99, file_), 12);
  EXPECT_EQ(GetPrivateProfileIntW(u"N", u"wraps", 99, file_), -1);
  EXPECT_EQ(GetPrivateProfileIntW(u"N", u"minusHex", 99, file_), -16);
  EXPECT_EQ(GetPrivateProfileIntW(u"N", u"bareHex", 99, file_), 0);
  EXPECT_EQ(GetPrivateProfileIntW(u"N", u"empty", 99, file_), 99);
  EXPECT_EQ(GetPrivateProfileIntW(u"N", u"missing", 99, file_), 99);
}

TEST_F(PrivateProfileTest, NewFileIsAnsiWithCrLf) {
  ScopedEnv acp("TOVAPPS_ACP", "1251");
  ASSERT_TRUE(WritePrivateProfileStringW(u"Раздел", u"Ключ", u"Да", file_));
  EXPECT_EQ(GetLastError(), kErrorSuccess);
  ASSERT_TRUE(WritePrivateProfileStringW(u"Раздел", u"Other", u"1", file_));
  // Р а з д е л / К л ю ч / Д а in code page 1251.
  EXPECT_EQ(readBytes(path_), "[\xD0\xE0\xE7\xE4\xE5\xEB]\r\n\xCA\xEB\xFE\xF7=\xC4\xE0\r\nOther=1\r\n");
  EXPECT_EQ(GetPrivateProfileStringW(u"РАЗДЕЛ", u"ключ", u"", file_), u"Да");
}

TEST_F(PrivateProfileTest, AnsiFileWithCyrillicIsReadAndKeptInItsCodePage) {
  ScopedEnv acp("TOVAPPS_ACP", "1251");
  // [Настройки] / Язык=русский, in 1251, with LF line breaks.
  writeBytes(path_, "[\xCD\xE0\xF1\xF2\xF0\xEE\xE9\xEA\xE8]\n\xDF\xE7\xFB\xEA=\xF0\xF3\xF1\xF1\xEA\xE8\xE9\n");
  EXPECT_EQ(GetPrivateProfileStringW(u"настройки", u"ЯЗЫК", u"", file_), u"русский");
  ASSERT_TRUE(WritePrivateProfileStringW(u"НАСТРОЙКИ", u"язык", u"Ё", file_));
  EXPECT_EQ(readBytes(path_), "[\xCD\xE0\xF1\xF2\xF0\xEE\xE9\xEA\xE8]\n\xDF\xE7\xFB\xEA=\xA8\n");
}

TEST_F(PrivateProfileTest, TextTheAnsiCodePageLacksIsRefusedNotMangled) {
  ScopedEnv acp("TOVAPPS_ACP", "1252");
  writeBytes(path_, "[S]\r\nk=1\r\n");
  EXPECT_FALSE(WritePrivateProfileStringW(u"S", u"k", u"Да", file_));
  EXPECT_EQ(GetLastError(), kErrorNoUnicodeTranslation);
  EXPECT_FALSE(WritePrivateProfileStringW(u"S", u"Ключ", u"1", file_));
  EXPECT_EQ(readBytes(path_), "[S]\r\nk=1\r\n");
  ASSERT_TRUE(WritePrivateProfileStringW(u"S", u"k", u"Café", file_));
  EXPECT_EQ(readBytes(path_), "[S]\r\nk=Caf\xE9\r\n");
}

TEST_F(PrivateProfileTest, Utf16FileIsWrittenBackAsUtf16) {
  auto utf16le = [](std::u16string_view text) {
    std::string bytes = "\xFF\xFE";
    for (char16_t c : text) bytes += std::string{static_cast<char>(c & 0xFF), static_cast<char>(c >> 8)};
    return bytes;
  };
  writeBytes(path_, utf16le(u"; комментарий\r\n[Zone]\r\nId=3\r\n"));
  EXPECT_EQ(GetPrivateProfileIntW(u"zone", u"id", 0, file_), 3);
  ASSERT_TRUE(WritePrivateProfileStringW(u"Zone", u"Id", u"4", file_));
  ASSERT_TRUE(WritePrivateProfileStringW(u"Zone", u"Имя", u"ё", file_));
  EXPECT_EQ(readBytes(path_), utf16le(u"; комментарий\r\n[Zone]\r\nId=4\r\nИмя=ё\r\n"));
}

TEST_F(PrivateProfileTest, NullValueRemovesTheKeyAndNullKeyTheSection) {
  writeBytes(path_, "top=1\r\n[A]\r\na=1\r\nb=2\r\n[B]\r\nc=3\r\n");
  ASSERT_TRUE(WritePrivateProfileStringW(u"A", u"a", std::nullopt, file_));
  EXPECT_EQ(readBytes(path_), "top=1\r\n[A]\r\nb=2\r\n[B]\r\nc=3\r\n");
  ASSERT_TRUE(WritePrivateProfileStringW(u"A", u"b", std::nullopt, file_));
  EXPECT_EQ(readBytes(path_), "top=1\r\n[A]\r\n[B]\r\nc=3\r\n");
  ASSERT_TRUE(WritePrivateProfileStringW(u"a", std::nullopt, std::nullopt, file_));
  EXPECT_EQ(readBytes(path_), "top=1\r\n[B]\r\nc=3\r\n");
  ASSERT_TRUE(WritePrivateProfileStringW(u"Missing", u"x", std::nullopt, file_));
  EXPECT_EQ(readBytes(path_), "top=1\r\n[B]\r\nc=3\r\n");
}

TEST_F(PrivateProfileTest, RemovingFromAMissingFileCreatesNothing) {
  EXPECT_TRUE(WritePrivateProfileStringW(u"S", u"k", std::nullopt, file_));
  EXPECT_TRUE(WritePrivateProfileStringW(u"S", std::nullopt, std::nullopt, file_));
  EXPECT_FALSE(std::filesystem::exists(path_));
}

TEST_F(PrivateProfileTest, RefusedArgumentsLeaveTheFileAlone) {
  writeBytes(path_, "[S]\r\nk=1\r\n");
  EXPECT_FALSE(WritePrivateProfileStringW(u"S", u"k", u"two\r\nlines", file_));
  EXPECT_EQ(GetLastError(), kErrorInvalidParameter);
  EXPECT_FALSE(WritePrivateProfileStringW(u"S", u"a=b", u"1", file_));
  EXPECT_FALSE(WritePrivateProfileStringW(u"S]", u"k", u"1", file_));
  EXPECT_EQ(readBytes(path_), "[S]\r\nk=1\r\n");
}

TEST_F(PrivateProfileTest, WriteLeavesNoTemporaryFilesAndKeepsPermissions) {
  writeBytes(path_, "[S]\r\nk=1\r\n");
  ASSERT_EQ(chmod(path_.c_str(), 0640), 0);
  for (int i = 0; i < 5; ++i) ASSERT_TRUE(WritePrivateProfileStringW(u"S", u"k", std::u16string(1, u'a' + i), file_));
  int entries = 0;
  for (const auto& entry : std::filesystem::directory_iterator(dir_.path())) {
    EXPECT_EQ(entry.path(), path_);
    ++entries;
  }
  EXPECT_EQ(entries, 1);
  struct stat st {};
  ASSERT_EQ(stat(path_.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u);
}

TEST_F(PrivateProfileTest, WriteKeepsExtendedAttributesAndSymbolicLinks) {
  writeBytes(path_, "[S]\r\nk=1\r\n");
  const std::string dosAttributes = "0x22";
  const bool haveXattrs = setxattr(path_.c_str(), "user.DOSATTRIB", dosAttributes.data(), dosAttributes.size(), 0) == 0;
  const auto link = dir_ / "link.ini";
  std::filesystem::create_symlink(path_, link);
  ASSERT_TRUE(WritePrivateProfileStringW(u"S", u"k", u"2", u16(link)));
  EXPECT_TRUE(std::filesystem::is_symlink(link));
  EXPECT_EQ(readBytes(path_), "[S]\r\nk=2\r\n");
  if (haveXattrs) {
    char value[16] = {};
    EXPECT_EQ(getxattr(path_.c_str(), "user.DOSATTRIB", value, sizeof value), 4);
    EXPECT_EQ(std::string(value), dosAttributes);
  }
}

TEST_F(PrivateProfileTest, ReadOnlyFileIsNotReplaced) {
  writeBytes(path_, "[S]\r\nk=1\r\n");
  ASSERT_EQ(chmod(path_.c_str(), 0444), 0);
  EXPECT_FALSE(WritePrivateProfileStringW(u"S", u"k", u"2", file_));
  EXPECT_EQ(GetLastError(), kErrorAccessDenied);
  EXPECT_EQ(readBytes(path_), "[S]\r\nk=1\r\n");
}

TEST_F(PrivateProfileTest, FileHeldOpenAgainstWritersIsNotReplaced) {
  writeBytes(path_, "[S]\r\nk=1\r\n");
  {
    FileHandle holder = FileHandle::open(file_, kGenericRead, kFileShareRead, CreateDisposition::OpenExisting);
    ASSERT_TRUE(holder.valid());
    EXPECT_EQ(GetPrivateProfileStringW(u"S", u"k", u"d", file_), u"1");
    EXPECT_FALSE(WritePrivateProfileStringW(u"S", u"k", u"2", file_));
    EXPECT_EQ(GetLastError(), kErrorSharingViolation);
    EXPECT_EQ(readBytes(path_), "[S]\r\nk=1\r\n");
  }
  EXPECT_TRUE(WritePrivateProfileStringW(u"S", u"k", u"2", file_));
}

TEST_F(PrivateProfileTest, FileThatCannotBeReadIsNeverOverwritten) {
  if (geteuid() != 0) {
    writeBytes(path_, "[S]\r\nprecious=1\r\n");
    ASSERT_EQ(chmod(path_.c_str(), 0200), 0);  // writable but not readable
    EXPECT_FALSE(WritePrivateProfileStringW(u"S", u"other", u"2", file_));
    EXPECT_EQ(GetLastError(), kErrorAccessDenied);
    EXPECT_EQ(GetPrivateProfileStringW(u"S", u"precious", u"d", file_), u"d");
    ASSERT_EQ(chmod(path_.c_str(), 0600), 0);
    EXPECT_EQ(readBytes(path_), "[S]\r\nprecious=1\r\n");
  }
  // Root reads everything; a folder in the file's place cannot be read by anyone.
  const auto folder = dir_ / "folder.ini";
  std::filesystem::create_directory(folder);
  writeBytes(folder / "inside", "kept");
  EXPECT_FALSE(WritePrivateProfileStringW(u"S", u"k", u"1", u16(folder)));
  EXPECT_EQ(GetLastError(), kErrorAccessDenied);
  EXPECT_EQ(GetPrivateProfileStringW(u"S", u"k", u"d", u16(folder)), u"d");
  EXPECT_EQ(GetLastError(), kErrorAccessDenied);
  EXPECT_EQ(readBytes(folder / "inside"), "kept");
}

// The zone mark's way: an INI text in a stream of the file, read and written
// like a file, while the file itself stays as it was.
TEST_F(PrivateProfileTest, StreamOfAFileIsAProfileToo) {
  writeBytes(path_, "the document");
  if (setxattr(path_.c_str(), "user.probe", "1", 1, 0) != 0) GTEST_SKIP() << "no user xattrs here";
  const std::u16string zone = file_ + u":Zone.Identifier";
  EXPECT_EQ(GetPrivateProfileIntW(u"ZoneTransfer", u"ZoneId", -1, zone), -1);
  EXPECT_EQ(GetLastError(), kErrorFileNotFound);
  ASSERT_TRUE(WritePrivateProfileStringW(u"ZoneTransfer", u"ZoneId", u"3", zone));
  EXPECT_EQ(GetPrivateProfileIntW(u"ZoneTransfer", u"ZoneId", -1, zone), 3);
  char value[64] = {};
  const ssize_t n = getxattr(path_.c_str(), "user.DosStream.Zone.Identifier:$DATA", value, sizeof value);
  EXPECT_EQ(std::string(value, n > 0 ? static_cast<std::size_t>(n) : 0),
            std::string("[ZoneTransfer]\r\nZoneId=3\r\n\0", 27));
  EXPECT_EQ(readBytes(path_), "the document");
  // A stream never creates its file.
  EXPECT_FALSE(WritePrivateProfileStringW(u"S", u"k", u"1", u16(dir_ / "absent.txt") + u":Zone.Identifier"));
  EXPECT_FALSE(std::filesystem::exists(dir_ / "absent.txt"));
}

TEST_F(PrivateProfileTest, FifoInTheFilesPlaceIsWrittenThroughNeverReplaced) {
  ASSERT_EQ(mkfifo(path_.c_str(), 0600), 0);
  const int reader = open(path_.c_str(), O_RDONLY | O_NONBLOCK);
  ASSERT_GE(reader, 0);
  EXPECT_TRUE(WritePrivateProfileStringW(u"S", u"k", u"1", file_));
  char buf[32] = {};
  EXPECT_GT(read(reader, buf, sizeof buf), 0);
  close(reader);
  EXPECT_STREQ(buf, "[S]\r\nk=1\r\n");
  EXPECT_TRUE(std::filesystem::is_fifo(std::filesystem::symlink_status(path_)));
}

TEST_F(PrivateProfileTest, NameWithNulIsAnInvalidName) {
  writeBytes(path_, "[S]\r\nk=1\r\n");
  const std::u16string cut = file_ + std::u16string(1, u'\0') + u".bak";
  EXPECT_FALSE(WritePrivateProfileStringW(u"S", u"k", u"2", cut));
  EXPECT_EQ(GetLastError(), kErrorInvalidName);
  EXPECT_EQ(GetPrivateProfileStringW(u"S", u"k", u"d", cut), u"d");
  EXPECT_EQ(readBytes(path_), "[S]\r\nk=1\r\n");
}

TEST_F(PrivateProfileTest, MissingFolderIsPathNotFound) {
  EXPECT_FALSE(WritePrivateProfileStringW(u"S", u"k", u"1", u16(dir_ / "no" / "such.ini")));
  EXPECT_EQ(GetLastError(), kErrorPathNotFound);
}

TEST_F(PrivateProfileTest, BackslashNamesReachTheSameFile) {
  std::u16string windowsName = file_;
  for (char16_t& c : windowsName) {
    if (c == u'/') c = u'\\';
  }
  ASSERT_TRUE(WritePrivateProfileStringW(u"S", u"k", u"1", windowsName));
  EXPECT_EQ(readBytes(path_), "[S]\r\nk=1\r\n");
}

}  // namespace
}  // namespace tov::platform
