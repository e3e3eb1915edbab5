// Directory listings through FindFirstFile / FindNextFile on real trees:
// order, attributes, sizes and times, links, and listings that fail or
// change under the reader.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "TempDir.h"
#include "Unprivileged.h"
#include "platform/FileAttributes.h"
#include "platform/FindFile.h"
#include "platform/WinError.h"

namespace tovtest {
namespace {

using namespace tov::platform;
namespace fs = std::filesystem;

std::vector<FindData> listAll(const std::u16string& pattern, std::uint32_t* endError = nullptr) {
  std::vector<FindData> out;
  FindData data;
  FindHandle h = FindFirstFileW(pattern, data);
  if (!h.valid()) {
    if (endError) *endError = GetLastError();
    return out;
  }
  do out.push_back(data);
  while (FindNextFileW(h, data));
  if (endError) *endError = GetLastError();
  FindClose(h);
  return out;
}

std::vector<std::u16string> namesOf(const std::vector<FindData>& entries) {
  std::vector<std::u16string> names;
  for (const auto& e : entries) names.push_back(e.fileName);
  return names;
}

const FindData& named(const std::vector<FindData>& entries, std::u16string_view name) {
  for (const auto& e : entries) {
    if (e.fileName == name) return e;
  }
  static const FindData none;
  ADD_FAILURE() << "no entry " << std::string(name.begin(), name.end());
  return none;
}

std::uint64_t sizeOf(const FindData& d) { return (std::uint64_t{d.fileSizeHigh} << 32) | d.fileSizeLow; }

class FindFiles : public ::testing::Test {
 protected:
  std::u16string pattern(const std::string& relative) { return u16(dir.path()) + u"/" + u16(relative); }
  TempDir dir{"find"};
};

TEST_F(FindFiles, ListsDotsFirstThenNamesWithoutCaseAndEndsWithNoMoreFiles) {
  for (const char* name : {"b.txt", "A.txt", "c", "a.TXT", "Ä.txt", "ä2.txt", "line\nbreak"}) writeBytes(dir / name, "x");
  fs::create_directory(dir / "Sub");
  std::uint32_t end = 0;
  EXPECT_EQ(namesOf(listAll(pattern("*"), &end)),
            (std::vector<std::u16string>{u".", u"..", u"A.txt", u"a.TXT", u"b.txt", u"c", u"line\nbreak", u"Sub",
                                         u"Ä.txt", u"ä2.txt"}));
  EXPECT_EQ(end, kErrorNoMoreFiles);
  EXPECT_EQ(namesOf(listAll(pattern("*.txt"))), (std::vector<std::u16string>{u"A.txt", u"a.TXT", u"b.txt", u"Ä.txt", u"ä2.txt"}));
  // A plain name is found without regard to case, and as it is when it exists.
  EXPECT_EQ(namesOf(listAll(pattern("SUB"))), (std::vector<std::u16string>{u"Sub"}));
  EXPECT_EQ(namesOf(listAll(pattern("a.TXT"))), (std::vector<std::u16string>{u"a.TXT"}));
}

TEST_F(FindFiles, FailsWithTheWindowsCodes) {
  std::uint32_t error = 0;
  EXPECT_TRUE(listAll(pattern("nothing*"), &error).empty());
  EXPECT_EQ(error, kErrorFileNotFound);
  EXPECT_TRUE(listAll(pattern("missing/*"), &error).empty());
  EXPECT_EQ(error, kErrorPathNotFound);
  EXPECT_TRUE(listAll(pattern(""), &error).empty());  // a pattern ending in a separator
  EXPECT_EQ(error, kErrorFileNotFound);
  writeBytes(dir / "file", "x");
  EXPECT_TRUE(listAll(pattern("file/*"), &error).empty());
  EXPECT_EQ(error, kErrorPathNotFound);

  FindHandle none;
  FindData data;
  EXPECT_FALSE(FindNextFileW(none, data));
  EXPECT_EQ(GetLastError(), kErrorInvalidHandle);
}

// A NUL, or a lone surrogate that stands for no byte, would cut the name
// short and name another file or directory.
TEST_F(FindFiles, RefusesNamesThatWouldReachAnotherFile) {
  writeBytes(dir / "a", "x");
  fs::create_directory(dir / "d");
  writeBytes(dir / "d" / "in", "y");
  const std::u16string nul(1, u'\0');
  std::uint32_t error = 0;
  for (const std::u16string& p : {pattern("a") + nul + u"b", pattern("d") + nul + u"/*", pattern("d") + u"\xD800/*",
                                  pattern("a") + u"\xDBFF", pattern("d") + nul}) {
    EXPECT_TRUE(listAll(p, &error).empty());
    EXPECT_EQ(error, kErrorInvalidName);
  }
  std::uint32_t high = 0;
  EXPECT_EQ(GetCompressedFileSizeW(pattern("a") + nul + u"b", &high), kInvalidFileSize);
  EXPECT_EQ(GetLastError(), kErrorInvalidName);
  EXPECT_FALSE(fileIdentity(pattern("d") + nul + u"x").has_value());
}

// Bytes that are not UTF-8 come back as U+DC80-U+DCFF and name the entry
// again; a name of the longest length a directory allows lists whole.
TEST_F(FindFiles, ListsNamesThatAreNotUtf8AndTheLongestNamesWhole) {
  const std::string odd = "caf\xe9-\xff";
  const std::string longest(255, 'n');
  fs::create_directory(dir / odd);
  writeBytes(dir / odd / longest, "12345");
  const auto top = listAll(pattern("caf*"));
  ASSERT_EQ(top.size(), 1u);
  EXPECT_EQ(top[0].fileName, u"caf\xDCE9-\xDCFF");
  EXPECT_EQ(top[0].fileAttributes, kFileAttributeDirectory);
  const auto inside = listAll(pattern("caf") + u"\xDCE9-\xDCFF/*");
  ASSERT_EQ(namesOf(inside), (std::vector<std::u16string>{u".", u"..", std::u16string(255, u'n')}));
  EXPECT_EQ(sizeOf(inside[2]), 5u);
}

TEST_F(FindFiles, GivesAttributesAsGetFileAttributesDoes) {
  writeBytes(dir / ".profile", "x");
  writeBytes(dir / "plain", "x");
  writeBytes(dir / "system", "x");
  ASSERT_EQ(setxattr((dir / "system").c_str(), "user.DOSATTRIB", "0x4", 3, 0), 0);
  writeBytes(dir / "readonly", "x");
  fs::permissions(dir / "readonly", fs::perms::owner_read);
  fs::create_directory(dir / "folder");
  fs::create_directory_symlink("folder", dir / "to-folder");
  fs::create_symlink("plain", dir / "to-plain");
  fs::create_symlink("nowhere", dir / "dangling");
  ASSERT_EQ(mkfifo((dir / "pipe").c_str(), 0600), 0);

  const auto all = listAll(pattern("*"));
  for (const auto& e : all) {
    if (e.fileName == u"." || e.fileName == u"..") continue;
    EXPECT_EQ(e.fileAttributes, GetFileAttributesW(pattern(std::string(e.fileName.begin(), e.fileName.end()))))
        << std::string(e.fileName.begin(), e.fileName.end());
  }
  EXPECT_EQ(named(all, u".profile").fileAttributes, kFileAttributeHidden | kFileAttributeArchive);
  EXPECT_EQ(named(all, u"plain").fileAttributes, kFileAttributeArchive);
  EXPECT_EQ(named(all, u"system").fileAttributes, kFileAttributeSystem);
  EXPECT_EQ(named(all, u"readonly").fileAttributes, kFileAttributeReadOnly | kFileAttributeArchive);
  EXPECT_EQ(named(all, u"folder").fileAttributes, kFileAttributeDirectory);
  EXPECT_EQ(named(all, u"to-folder").fileAttributes, kFileAttributeReparsePoint | kFileAttributeDirectory);
  EXPECT_EQ(named(all, u"to-plain").fileAttributes, kFileAttributeReparsePoint);
  EXPECT_EQ(named(all, u"dangling").fileAttributes, kFileAttributeReparsePoint);
  EXPECT_EQ(named(all, u"pipe").fileAttributes, kFileAttributeNormal);
  EXPECT_TRUE(named(all, u"plain").alternateFileName.empty());

  const auto devices = listAll(u"/dev/null");
  ASSERT_EQ(devices.size(), 1u);
  EXPECT_EQ(devices[0].fileAttributes & kFileAttributeDevice, kFileAttributeDevice);
}

// A file server keeps the attributes as a binary record (here version 5 with
// a creation time, "read-only, hidden, system"; version 4 "hidden" on a
// folder, its creation time not marked valid); a listing reads them as the
// attribute calls do, and takes the creation time only where it is valid.
TEST_F(FindFiles, ReadsTheAttributeRecordsAFileServerWrites) {
  const std::vector<unsigned char> v5 = {0, 0, 5, 0, 5, 0, 0, 0, 0x11, 0, 0, 0, 0x07, 0, 0, 0,
                                         0x78, 0xe6, 0x0d, 0x7d, 0xae, 0x86, 0xdd, 0x01};
  const std::vector<unsigned char> v4 = {0,    0,    4,    0,    4,    0,    0,    0,    0x01, 0,    0,
                                         0,    0x12, 0,    0,    0,    0,    0,    0,    0,    0,    0,
                                         0,    0,    0x78, 0xe6, 0x0d, 0x7d, 0xae, 0x86, 0xdd, 0x01};
  writeBytes(dir / "marked", "x");
  fs::create_directory(dir / "folder");
  ASSERT_EQ(setxattr((dir / "marked").c_str(), "user.DOSATTRIB", v5.data(), v5.size(), 0), 0);
  ASSERT_EQ(setxattr((dir / "folder").c_str(), "user.DOSATTRIB", v4.data(), v4.size(), 0), 0);

  const auto all = listAll(pattern("*"));
  EXPECT_EQ(named(all, u"marked").fileAttributes,
            kFileAttributeReadOnly | kFileAttributeHidden | kFileAttributeSystem);
  EXPECT_EQ(named(all, u"folder").fileAttributes, kFileAttributeHidden | kFileAttributeDirectory);
  EXPECT_EQ(named(all, u"marked").fileAttributes, GetFileAttributesW(pattern("marked")));
  EXPECT_EQ(named(all, u"folder").fileAttributes, GetFileAttributesW(pattern("folder")));

  constexpr FileTime kRecorded = 0x01dd86ae7d0de678ULL;
  EXPECT_EQ(named(all, u"marked").creationTime, kRecorded);
  EXPECT_NE(named(all, u"folder").creationTime, kRecorded);
  EXPECT_NE(named(all, u"folder").creationTime, 0u);
  // A record that cannot be read as any form leaves the inode's own time.
  const unsigned char broken[] = {0, 0, 9, 0, 9, 0, 0, 0, 0x11, 0, 0, 0, 0x02, 0, 0, 0, 1, 2, 3, 4, 5, 6, 7, 8};
  ASSERT_EQ(setxattr((dir / "marked").c_str(), "user.DOSATTRIB", broken, sizeof broken, 0), 0);
  EXPECT_NE(named(listAll(pattern("marked")), u"marked").creationTime, kRecorded);
}

TEST_F(FindFiles, GivesSizesAsListedAndTheBytesOnDisk) {
  writeBytes(dir / "five", "12345");
  {
    // 5 GiB with nothing written: both halves of the size, almost nothing on disk.
    const int fd = open((dir / "sparse").c_str(), O_CREAT | O_WRONLY, 0644);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(ftruncate(fd, 5LL << 30), 0);
    close(fd);
  }
  fs::create_directory(dir / "folder");
  fs::create_symlink("five", dir / "link");
  const auto all = listAll(pattern("*"));

  EXPECT_EQ(sizeOf(named(all, u"five")), 5u);
  EXPECT_EQ(named(all, u"five").compressedSize, std::optional<std::uint64_t>(5));
  EXPECT_EQ(named(all, u"sparse").fileSizeHigh, 1u);
  EXPECT_EQ(named(all, u"sparse").fileSizeLow, 1u << 30);
  ASSERT_TRUE(named(all, u"sparse").compressedSize.has_value());
  EXPECT_LT(*named(all, u"sparse").compressedSize, 1u << 20);
  // A directory and a link list as size 0 and leave the bytes on disk to
  // their own query.
  EXPECT_EQ(sizeOf(named(all, u"folder")), 0u);
  EXPECT_FALSE(named(all, u"folder").compressedSize.has_value());
  EXPECT_EQ(sizeOf(named(all, u"link")), 0u);
  EXPECT_FALSE(named(all, u"link").compressedSize.has_value());

  std::uint32_t high = 7;
  EXPECT_EQ(GetCompressedFileSizeW(pattern("five"), &high), 5u);
  EXPECT_EQ(high, 0u);
  EXPECT_EQ(GetCompressedFileSizeW(pattern("link"), &high), 5u);  // the target's
  EXPECT_EQ(GetCompressedFileSizeW(pattern("folder"), &high), kInvalidFileSize);
  EXPECT_EQ(GetLastError(), kErrorAccessDenied);
  EXPECT_EQ(GetCompressedFileSizeW(pattern("missing"), &high), kInvalidFileSize);
  EXPECT_EQ(GetLastError(), kErrorFileNotFound);
}

TEST_F(FindFiles, GivesTheLinksOwnTimesAndDatesBefore1970) {
  writeBytes(dir / "old", "x");
  fs::create_symlink("old", dir / "link");
  const timespec fileTimes[2] = {{-86400 * 400, 0}, {-86400 * 365, 500'000'000}};  // 1968-11-26, 1969-01-01 00:00:00.5
  ASSERT_EQ(utimensat(AT_FDCWD, (dir / "old").c_str(), fileTimes, 0), 0);
  const timespec linkTimes[2] = {{1'000'000'000, 0}, {1'100'000'000, 0}};
  ASSERT_EQ(utimensat(AT_FDCWD, (dir / "link").c_str(), linkTimes, AT_SYMLINK_NOFOLLOW), 0);
  const auto all = listAll(pattern("*"));

  EXPECT_EQ(named(all, u"old").lastWriteTime, fileTimeFromUnix(-86400 * 365, 500'000'000));
  EXPECT_EQ(named(all, u"old").lastAccessTime, fileTimeFromUnix(-86400 * 400));
  EXPECT_EQ(named(all, u"link").lastWriteTime, fileTimeFromUnix(1'100'000'000));
  EXPECT_NE(named(all, u"old").creationTime, 0u);
}

TEST_F(FindFiles, TakesTheEarliestTimeForCreationWhereTheFileSystemKeepsNoBirthTime) {
  // /proc keeps none.
  const auto all = listAll(u"/proc/self/status");
  ASSERT_EQ(all.size(), 1u);
  const FindData& status = all[0];
  EXPECT_NE(status.creationTime, 0u);
  EXPECT_LE(status.creationTime, status.lastWriteTime);
  EXPECT_LE(status.creationTime, status.lastAccessTime);
}

TEST_F(FindFiles, LeavesOutWhatVanishesAndFailsForADirectoryRemovedWhileListed) {
  fs::create_directory(dir / "d");
  for (const char* name : {"a", "b", "c"}) writeBytes(dir / "d" / name, "x");
  FindData data;
  FindHandle h = FindFirstFileW(pattern("d/*"), data);
  ASSERT_TRUE(h.valid());
  EXPECT_EQ(data.fileName, u".");
  fs::remove(dir / "d" / "b");
  std::vector<std::u16string> seen;
  while (FindNextFileW(h, data)) seen.push_back(data.fileName);
  EXPECT_EQ(seen, (std::vector<std::u16string>{u"..", u"a", u"c"}));
  EXPECT_EQ(GetLastError(), kErrorNoMoreFiles);

  h = FindFirstFileW(pattern("d/*"), data);
  ASSERT_TRUE(h.valid());
  fs::remove_all(dir / "d");
  while (FindNextFileW(h, data)) {
  }
  EXPECT_NE(GetLastError(), kErrorNoMoreFiles);
  EXPECT_NE(GetLastError(), kErrorSuccess);
}

TEST_F(FindFiles, ListsBelowAnOpenListingAndRefusesALinkWhereNoneWasMeant) {
  fs::create_directory(dir / "real");
  writeBytes(dir / "real" / "inside.txt", "x");
  fs::create_directory_symlink("real", dir / "link");
  FindData data;
  FindHandle base = FindFirstFileW(pattern("*"), data);
  ASSERT_TRUE(base.valid());

  FindHandle below = FindFirstFileBelow(base, u"real/*.txt", data, false);
  ASSERT_TRUE(below.valid());
  EXPECT_EQ(data.fileName, u"inside.txt");
  EXPECT_FALSE(FindFirstFileBelow(base, u"link/*.txt", data, false).valid());
  EXPECT_EQ(GetLastError(), kErrorPathNotFound);
  FindHandle followed = FindFirstFileBelow(base, u"link/*.txt", data, true);
  ASSERT_TRUE(followed.valid());
  EXPECT_EQ(followed.directory(), below.directory());
  // A bare name is looked up in the base listing itself.
  ASSERT_TRUE(FindFirstFileBelow(base, u"REAL", data).valid());
  EXPECT_EQ(data.fileName, u"real");
  // Passed over unexamined, the dots carry their names and the directory
  // bit alone; the other entries are whole.
  FindHandle quick = FindFirstFileBelow(base, u"real/*", data, false, false);
  ASSERT_TRUE(quick.valid());
  EXPECT_EQ(data.fileName, u".");
  EXPECT_EQ(data.fileAttributes, kFileAttributeDirectory);
  EXPECT_EQ(data.lastWriteTime, 0u);
  ASSERT_TRUE(FindNextFileW(quick, data));
  EXPECT_EQ(data.fileName, u"..");
  ASSERT_TRUE(FindNextFileW(quick, data));
  EXPECT_EQ(data.fileName, u"inside.txt");
  EXPECT_NE(data.lastWriteTime, 0u);
  EXPECT_EQ(data.fileAttributes, kFileAttributeArchive);
  FindClose(base);
  EXPECT_FALSE(FindFirstFileBelow(base, u"real/*", data).valid());
}

TEST_F(FindFiles, FindsAPlainNameInADirectoryThatMayBeSearchedButNotRead) {
  fs::create_directory(dir / "dropbox");
  writeBytes(dir / "dropbox" / "known.txt", "x");
  fs::permissions(dir / "dropbox", fs::perms::owner_all | fs::perms::others_exec);
  openToOthers(dir.path());
  const std::u16string known = pattern("dropbox/known.txt");
  const std::u16string any = pattern("dropbox/*");
  EXPECT_TRUE(unprivileged([&] {
    FindData data;
    const bool plainFound = FindFirstFileW(known, data).valid() && data.fileName == u"known.txt";
    const bool listingRefused = !FindFirstFileW(any, data).valid() && GetLastError() == kErrorAccessDenied;
    return plainFound && listingRefused;
  }));
}

TEST_F(FindFiles, TellsRootsFromOtherPaths) {
  EXPECT_TRUE(PathIsRootW(u"/"));
  EXPECT_TRUE(PathIsRootW(u"\\"));
  EXPECT_TRUE(PathIsRootW(u"//"));
  EXPECT_FALSE(PathIsRootW(u""));
  EXPECT_FALSE(PathIsRootW(u"/tmp"));
  // The root lists its entries without "." and "..".
  const auto names = namesOf(listAll(u"/*"));
  EXPECT_FALSE(names.empty());
  EXPECT_EQ(std::count(names.begin(), names.end(), u"."), 0);
}

}  // namespace
}  // namespace tovtest
