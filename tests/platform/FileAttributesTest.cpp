#include "platform/FileAttributes.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <linux/limits.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <functional>
#include <string>
#include <vector>

#include "TempDir.h"
#include "platform/AlternateStream.h"
#include "platform/AtomicFileWriter.h"
#include "platform/DosAttributeRecord.h"
#include "platform/FileHandle.h"
#include "platform/WinError.h"

using namespace tov::platform;
using tovtest::TempDir;
using tovtest::u16;
using tovtest::writeBytes;

namespace {

using Bytes = std::vector<std::uint8_t>;

// What a client's "read-only, hidden, system" leaves on a share: a
// version-5 record with the creation time, the write bits untouched.
const Bytes kServerRecord = {0, 0, 5, 0, 5, 0, 0, 0, 0x11, 0, 0, 0, 0x07, 0, 0, 0,
                             0x78, 0xe6, 0x0d, 0x7d, 0xae, 0x86, 0xdd, 0x01};

Bytes record(const std::filesystem::path& p) {
  Bytes value(XATTR_SIZE_MAX);
  const ssize_t n = getxattr(p.c_str(), "user.DOSATTRIB", value.data(), value.size());
  value.resize(n < 0 ? 0 : static_cast<std::size_t>(n));
  return value;
}

void setRecord(const std::filesystem::path& p, const Bytes& value) {
  ASSERT_EQ(setxattr(p.c_str(), "user.DOSATTRIB", value.data(), value.size(), 0), 0);
}

mode_t modeOf(const std::filesystem::path& p) {
  struct stat st {};
  stat(p.c_str(), &st);
  return st.st_mode & 07777;
}

// Runs `check` as "nobody" in a child process (as root only; otherwise as
// the user running the tests).
bool asNobody(const std::function<bool()>& check) {
  if (geteuid() != 0) return check();
  const pid_t pid = fork();
  if (pid == 0) {
    if (setgid(65534) != 0 || setuid(65534) != 0) _exit(3);
    _exit(check() ? 0 : 1);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

class FileAttributesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    writeBytes(file, "data");
    if (setxattr(file.c_str(), "user.probe", "1", 1, 0) != 0) GTEST_SKIP() << "no user extended attributes here";
    removexattr(file.c_str(), "user.probe");
  }
  TempDir dir{"attrs"};
  std::filesystem::path file = dir / "f.txt";
};

}  // namespace

TEST_F(FileAttributesTest, ReadOnlyMarkedByAClientHoldsForEveryWriter) {
  ASSERT_EQ(chmod(file.c_str(), 0644), 0);
  setRecord(file, kServerRecord);
  EXPECT_EQ(GetFileAttributesW(u16(file)), kFileAttributeReadOnly | kFileAttributeHidden | kFileAttributeSystem);

  EXPECT_FALSE(DeleteFileW(u16(file)));
  EXPECT_EQ(GetLastError(), kErrorAccessDenied);
  const std::string data = "new";
  const std::span<const std::uint8_t> bytes(reinterpret_cast<const std::uint8_t*>(data.data()), data.size());
  EXPECT_EQ(AtomicFileWriter::replace(file.string(), bytes), EACCES);
  EXPECT_FALSE(FileHandle::openNative(file.string(), kGenericWrite, kFileShareRead, CreateDisposition::OpenExisting).valid());
  EXPECT_EQ(writeStream(StreamPath{file.string(), "s"}, bytes, StreamWrite::Replace), EACCES);
  EXPECT_TRUE(FileHandle::openNative(file.string(), kGenericRead, kFileShareRead, CreateDisposition::OpenExisting).valid());
  EXPECT_EQ(tovtest::readBytes(file), "data");

  // Cleared here, the record keeps its form and the creation time the
  // client gave it; only the attribute word changes.
  ASSERT_TRUE(SetFileAttributesW(u16(file), kFileAttributeArchive));
  Bytes expected = kServerRecord;
  expected[12] = 0x20;
  EXPECT_EQ(record(file), expected);
  EXPECT_EQ(GetFileAttributesW(u16(file)), kFileAttributeArchive);
  EXPECT_EQ(AtomicFileWriter::replace(file.string(), bytes, AtomicFileWriter::Keep::PermissionsAndAttributes), 0);
  EXPECT_EQ(record(file), expected);
  EXPECT_TRUE(DeleteFileW(u16(file)));
}

TEST_F(FileAttributesTest, WithoutARecordTheHexTextIsWrittenWithReadOnlyInIt) {
  ASSERT_EQ(chmod(file.c_str(), 0644), 0);
  ASSERT_TRUE(SetFileAttributesW(u16(file), kFileAttributeReadOnly | kFileAttributeHidden | kFileAttributeArchive));
  EXPECT_EQ(record(file), Bytes({'0', 'x', '2', '3'}));
  EXPECT_EQ(modeOf(file), 0444u);
  ASSERT_TRUE(SetFileAttributesW(u16(file), kFileAttributeNormal));
  EXPECT_EQ(record(file), Bytes({'0', 'x', '0'}));
  EXPECT_EQ(modeOf(file), 0644u);
  EXPECT_EQ(GetFileAttributesW(u16(file)), kFileAttributeNormal);
  // Write comes back to those the creation mask lets write, never to all.
  const mode_t oldMask = umask(0002);
  ASSERT_EQ(chmod(file.c_str(), 0444), 0);
  ASSERT_TRUE(SetFileAttributesW(u16(file), kFileAttributeArchive));
  EXPECT_EQ(modeOf(file), 0664u);
  ASSERT_EQ(chmod(file.c_str(), 0440), 0);
  ASSERT_TRUE(SetFileAttributesW(u16(file), kFileAttributeArchive));
  EXPECT_EQ(modeOf(file), 0660u);
  umask(oldMask);

  // Attributes a caller may set and Windows keeps survive a round trip;
  // those the file system decides (compressed, directory) are not taken.
  ASSERT_TRUE(SetFileAttributesW(u16(file), kFileAttributeTemporary | kFileAttributeNotContentIndexed |
                                                 kFileAttributeOffline | kFileAttributeCompressed));
  EXPECT_EQ(GetFileAttributesW(u16(file)),
            kFileAttributeTemporary | kFileAttributeNotContentIndexed | kFileAttributeOffline);

  // A directory's record carries the directory bit, as a server writes it.
  const auto sub = dir / "sub";
  std::filesystem::create_directory(sub);
  ASSERT_TRUE(SetFileAttributesW(u16(sub), kFileAttributeHidden));
  EXPECT_EQ(record(sub), Bytes({'0', 'x', '1', '2'}));
  EXPECT_EQ(GetFileAttributesW(u16(sub)), kFileAttributeHidden | kFileAttributeDirectory);
}

TEST_F(FileAttributesTest, DamagedRecordsReadAsNoneAndAreReplaced) {
  for (const Bytes& damaged : {Bytes{'z', 'z'}, Bytes{0, 0, 5, 0, 5, 0, 0, 0, 0x11, 0}, Bytes{0, 0, 9, 0, 9, 0, 0, 0}}) {
    setRecord(file, damaged);
    EXPECT_EQ(GetFileAttributesW(u16(file)), kFileAttributeArchive);
    ASSERT_TRUE(SetFileAttributesW(u16(file), kFileAttributeHidden));
    EXPECT_EQ(record(file), Bytes({'0', 'x', '2'}));
  }
  // A record too large for the first read is still read whole.
  Bytes big = kServerRecord;
  big.resize(4000, 0xAB);
  setRecord(file, big);
  EXPECT_EQ(GetFileAttributesW(u16(file)), kFileAttributeReadOnly | kFileAttributeHidden | kFileAttributeSystem);
  ASSERT_TRUE(SetFileAttributesW(u16(file), kFileAttributeSystem));
  const Bytes after = record(file);
  ASSERT_EQ(after.size(), big.size());
  EXPECT_EQ(after[12], 0x04);
  EXPECT_TRUE(std::equal(after.begin() + 16, after.end(), big.begin() + 16));
}

TEST_F(FileAttributesTest, AnOwnerWhoIsNotRootMarksAndUnmarksOwnFilesReadOnly) {
  tovtest::TempDir open{"attrs-open"};
  std::filesystem::permissions(open.path(), std::filesystem::perms::all);
  const auto mine = open / "mine.txt";
  writeBytes(mine, "x");
  if (geteuid() == 0) {
    ASSERT_EQ(chown(mine.c_str(), 65534, 65534), 0);
  }
  ASSERT_EQ(chmod(mine.c_str(), 0644), 0);
  // Taking the write bits first would leave the owner unable to store the
  // record: the call would fail half done.
  EXPECT_TRUE(asNobody([&] { return SetFileAttributesW(u16(mine), kFileAttributeReadOnly | kFileAttributeHidden); }));
  EXPECT_EQ(modeOf(mine), 0444u);
  EXPECT_EQ(record(mine), Bytes({'0', 'x', '3'}));
  EXPECT_TRUE(asNobody([&] { return SetFileAttributesW(u16(mine), kFileAttributeArchive); }));
  EXPECT_EQ(modeOf(mine), 0644u);
  EXPECT_EQ(record(mine), Bytes({'0', 'x', '2', '0'}));
}

TEST_F(FileAttributesTest, AChangeThatFailsHalfWayIsUndone) {
  if (geteuid() != 0) GTEST_SKIP() << "needs a file of another user";
  // Another user's file that anyone may write: the record can be stored,
  // the write bits cannot be taken (only the owner may change them).
  tovtest::TempDir open{"attrs-open"};
  std::filesystem::permissions(open.path(), std::filesystem::perms::all);
  const auto theirs = open / "theirs.txt";
  writeBytes(theirs, "x");
  ASSERT_EQ(chmod(theirs.c_str(), 0666), 0);
  Bytes writable = kServerRecord;
  writable[12] = 0x20;
  setRecord(theirs, writable);
  EXPECT_TRUE(asNobody([&] {
    return !SetFileAttributesW(u16(theirs), kFileAttributeReadOnly) && GetLastError() == kErrorAccessDenied;
  }));
  EXPECT_EQ(modeOf(theirs), 0666u);
  EXPECT_EQ(record(theirs), writable);

  removexattr(theirs.c_str(), "user.DOSATTRIB");
  EXPECT_TRUE(asNobody([&] { return !SetFileAttributesW(u16(theirs), kFileAttributeReadOnly); }));
  EXPECT_TRUE(record(theirs).empty());
  EXPECT_EQ(GetFileAttributesW(u16(theirs)), kFileAttributeArchive);
}

TEST_F(FileAttributesTest, WhereNoRecordCanBeKeptOnlyWhatNameAndBitsSayIsAccepted) {
  // Pipes carry no user attributes: hidden cannot be kept for a plain name
  // and must not be reported as set.
  const auto pipe = dir / "pipe";
  const auto dotPipe = dir / ".pipe";
  ASSERT_EQ(mkfifo(pipe.c_str(), 0644), 0);
  ASSERT_EQ(mkfifo(dotPipe.c_str(), 0644), 0);
  EXPECT_FALSE(SetFileAttributesW(u16(pipe), kFileAttributeHidden));
  EXPECT_EQ(GetFileAttributesW(u16(pipe)) & kFileAttributeHidden, 0u);
  EXPECT_TRUE(SetFileAttributesW(u16(dotPipe), kFileAttributeHidden));
  EXPECT_TRUE(SetFileAttributesW(u16(pipe), kFileAttributeReadOnly));
  EXPECT_EQ(modeOf(pipe), 0444u);
  EXPECT_TRUE(SetFileAttributesW(u16(pipe), kFileAttributeNormal));
  EXPECT_EQ(modeOf(pipe), 0644u);
}
