// The one writer that replaces files: what it replaces, what it writes
// through, what it refuses, what the new file keeps, and the order in which
// it makes the new content durable.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <climits>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "TempDir.h"
#include "platform/AtomicFileWriter.h"

namespace {

// The writer's flushes and renames, in order, while a test listens. The
// test program's own definitions stand in for the C library's and pass
// every call on.
std::vector<std::string>* g_events = nullptr;

std::string pathOfFd(int fd) {
  char buf[PATH_MAX];
  const ssize_t n = readlink(("/proc/self/fd/" + std::to_string(fd)).c_str(), buf, sizeof buf);
  return n > 0 ? std::string(buf, static_cast<std::size_t>(n)) : "?";
}

}  // namespace

extern "C" int fsync(int fd) {
  if (g_events) g_events->push_back("fsync " + pathOfFd(fd));
  return static_cast<int>(syscall(SYS_fsync, fd));
}

extern "C" int rename(const char* from, const char* to) noexcept {
  if (g_events) g_events->push_back(std::string("rename ") + from + " " + to);
  return static_cast<int>(syscall(SYS_renameat2, AT_FDCWD, from, AT_FDCWD, to, 0));
}

namespace tov::platform {
namespace {

using tovtest::readBytes;
using tovtest::writeBytes;
namespace fs = std::filesystem;

std::span<const std::uint8_t> bytes(std::string_view text) {
  return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

int replace(const fs::path& target, std::string_view text) { return AtomicFileWriter::replace(target, bytes(text)); }

class AtomicFileWriterTest : public ::testing::Test {
 protected:
  tovtest::TempDir dir_{"writer"};

  std::size_t entries() const {
    std::size_t n = 0;
    for ([[maybe_unused]] const auto& e : fs::directory_iterator(dir_.path())) ++n;
    return n;
  }
};

TEST_F(AtomicFileWriterTest, FifoIsWrittenThroughAndStaysAFifo) {
  const fs::path fifo = dir_ / "pipe";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  // Nobody reading: refused at once rather than waiting.
  EXPECT_EQ(replace(fifo, "lost"), ENXIO);

  const int reader = open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
  ASSERT_GE(reader, 0);
  // Through a link too, the way a settings file is pointed at a sink.
  const fs::path link = dir_ / "settings.ini";
  fs::create_symlink("pipe", link);
  EXPECT_EQ(replace(fifo, "one,"), 0);
  EXPECT_EQ(replace(link, "two"), 0);
  char buf[32] = {};
  EXPECT_EQ(read(reader, buf, sizeof buf), 7);
  close(reader);
  EXPECT_STREQ(buf, "one,two");
  EXPECT_TRUE(fs::is_fifo(fs::symlink_status(fifo)));
  EXPECT_TRUE(fs::is_symlink(fs::symlink_status(link)));
  EXPECT_EQ(entries(), 2u);
}

TEST_F(AtomicFileWriterTest, CharacterDeviceIsWrittenThroughAndStaysADevice) {
  // A private copy of the null device: the real one must never be at stake.
  const fs::path null = dir_ / "null";
  if (mknod(null.c_str(), S_IFCHR | 0666, makedev(1, 3)) != 0) GTEST_SKIP() << "cannot make a device node here";
  const int probe = open(null.c_str(), O_WRONLY);
  if (probe < 0) GTEST_SKIP() << "device nodes do not open on this file system";
  close(probe);
  const fs::path link = dir_ / "Quillmark.ini";
  fs::create_symlink(null, link);
  EXPECT_EQ(replace(link, "[Localization]\nLanguageID=1\n"), 0);
  EXPECT_EQ(replace(null, "text"), 0);
  EXPECT_TRUE(fs::is_character_file(fs::symlink_status(null)));
  EXPECT_TRUE(fs::is_symlink(fs::symlink_status(link)));
  EXPECT_EQ(entries(), 2u);
}

TEST_F(AtomicFileWriterTest, SocketsAndDirectoriesAreRefused) {
  const fs::path socketPath = dir_ / "sock";
  const int s = socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un addr{};
  addr.sun_family = AF_UNIX;
  std::strncpy(addr.sun_path, socketPath.c_str(), sizeof addr.sun_path - 1);
  ASSERT_EQ(bind(s, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
  EXPECT_EQ(replace(socketPath, "x"), EACCES);
  close(s);
  EXPECT_TRUE(fs::is_socket(fs::symlink_status(socketPath)));

  fs::create_directory(dir_ / "sub");
  EXPECT_EQ(replace(dir_ / "sub", "x"), EISDIR);
  fs::create_symlink("sub", dir_ / "to-sub");
  EXPECT_EQ(replace(dir_ / "to-sub", "x"), EISDIR);
  EXPECT_TRUE(fs::is_directory(dir_ / "sub"));
  EXPECT_EQ(entries(), 3u);
}

TEST_F(AtomicFileWriterTest, LinksStayAndTheFileTheyLeadToIsReplaced) {
  fs::create_directory(dir_ / "real");
  writeBytes(dir_ / "real" / "file.ini", "old");
  fs::create_symlink("real/file.ini", dir_ / "first");  // relative to the link's own folder
  fs::create_symlink(dir_ / "first", dir_ / "second");  // a chain
  EXPECT_EQ(replace(dir_ / "second", "new"), 0);
  EXPECT_EQ(readBytes(dir_ / "real" / "file.ini"), "new");
  EXPECT_TRUE(fs::is_symlink(fs::symlink_status(dir_ / "first")));
  EXPECT_TRUE(fs::is_symlink(fs::symlink_status(dir_ / "second")));

  // A link to a file not there yet creates the file, as cp does.
  fs::create_symlink("real/later.ini", dir_ / "dangling");
  EXPECT_EQ(replace(dir_ / "dangling", "born"), 0);
  EXPECT_EQ(readBytes(dir_ / "real" / "later.ini"), "born");
  EXPECT_TRUE(fs::is_symlink(fs::symlink_status(dir_ / "dangling")));

  fs::create_symlink("loop-b", dir_ / "loop-a");
  fs::create_symlink("loop-a", dir_ / "loop-b");
  EXPECT_EQ(replace(dir_ / "loop-a", "x"), ELOOP);
  EXPECT_TRUE(fs::is_symlink(fs::symlink_status(dir_ / "loop-a")));
}

// In a folder like /tmp, another user's link must not send a write to a
// file of the writer's (the kernel's own rule for such links).
TEST_F(AtomicFileWriterTest, ForeignLinksInSharedFoldersAreNotFollowed) {
  if (geteuid() != 0) GTEST_SKIP() << "needs root to give a link to another user";
  const fs::path shared = dir_ / "shared";
  fs::create_directory(shared);
  ASSERT_EQ(chmod(shared.c_str(), 01777), 0);
  writeBytes(dir_ / "precious", "mine");
  fs::create_symlink(dir_ / "precious", shared / "out.txt");
  ASSERT_EQ(lchown((shared / "out.txt").c_str(), 4321, 4321), 0);
  EXPECT_EQ(replace(shared / "out.txt", "planted"), EACCES);
  EXPECT_EQ(readBytes(dir_ / "precious"), "mine");
  // The writer's own link there is followed.
  ASSERT_EQ(lchown((shared / "out.txt").c_str(), 0, 0), 0);
  EXPECT_EQ(replace(shared / "out.txt", "wanted"), 0);
  EXPECT_EQ(readBytes(dir_ / "precious"), "wanted");
}

TEST_F(AtomicFileWriterTest, NewFileKeepsPermissionsOwnerAndGroup) {
  const fs::path file = dir_ / "private.txt";
  writeBytes(file, "old");
  ASSERT_EQ(chmod(file.c_str(), 0640), 0);
  // Root can hand the file to anyone; others keep their own.
  if (geteuid() == 0) {
    ASSERT_EQ(chown(file.c_str(), 4321, 8765), 0);
  }
  struct stat before {};
  ASSERT_EQ(stat(file.c_str(), &before), 0);

  EXPECT_EQ(replace(file, "new"), 0);
  struct stat after {};
  ASSERT_EQ(stat(file.c_str(), &after), 0);
  EXPECT_NE(after.st_ino, before.st_ino);  // a new file took the old one's place
  EXPECT_EQ(after.st_mode & 07777, 0640u);
  EXPECT_EQ(after.st_uid, before.st_uid);
  EXPECT_EQ(after.st_gid, before.st_gid);
  EXPECT_EQ(readBytes(file), "new");
}

TEST_F(AtomicFileWriterTest, AttributesGoAlongOnlyWhenAsked) {
  const fs::path file = dir_ / "desc";
  writeBytes(file, "old");
  if (setxattr(file.c_str(), "user.DosStream.x:$DATA", "v", 2, 0) != 0) GTEST_SKIP() << "no user xattrs here";
  EXPECT_EQ(AtomicFileWriter::replace(file, bytes("a"), AtomicFileWriter::Keep::PermissionsAndAttributes), 0);
  char v[4];
  EXPECT_EQ(getxattr(file.c_str(), "user.DosStream.x:$DATA", v, sizeof v), 2);
  EXPECT_EQ(replace(file, "b"), 0);
  EXPECT_LT(getxattr(file.c_str(), "user.DosStream.x:$DATA", v, sizeof v), 0);
}

TEST_F(AtomicFileWriterTest, LongestNamesStillGetATemporaryFile) {
  for (std::size_t length : {241u, 250u, 255u}) {
    const fs::path file = dir_ / std::string(length, 'n');
    EXPECT_EQ(replace(file, "first"), 0) << length;
    EXPECT_EQ(replace(file, "second"), 0) << length;
    EXPECT_EQ(readBytes(file), "second");
    fs::remove(file);
  }
  EXPECT_EQ(replace(dir_ / std::string(256, 'n'), "x"), ENAMETOOLONG);
  EXPECT_EQ(entries(), 0u);
}

TEST_F(AtomicFileWriterTest, ReplacementIsFlushedBeforeTheRenameAndTheFolderAfter) {
  const fs::path file = dir_ / "out.txt";
  std::vector<std::string> events;
  g_events = &events;
  const int created = replace(file, "new file");
  const std::vector<std::string> creation = events;
  events.clear();
  const int replaced = replace(file, "replaced");
  g_events = nullptr;
  ASSERT_EQ(created, 0);
  ASSERT_EQ(replaced, 0);

  // A file that did not exist has no old content to protect: no flush.
  ASSERT_EQ(creation.size(), 1u);
  EXPECT_TRUE(creation[0].starts_with("rename "));

  ASSERT_EQ(events.size(), 3u);
  const std::string temp = events[1].substr(7, events[1].find(' ', 7) - 7);
  EXPECT_EQ(events[0], "fsync " + temp);
  EXPECT_EQ(events[1], "rename " + temp + " " + file.string());
  EXPECT_EQ(events[2], "fsync " + dir_.path().string());
  EXPECT_LT(fs::path(temp).filename().string().size(), 20u);
}

TEST_F(AtomicFileWriterTest, RefusedOrUnfinishedWritesLeaveTheOldFile) {
  const fs::path file = dir_ / "keep.txt";
  writeBytes(file, "old");
  ASSERT_EQ(chmod(file.c_str(), 0444), 0);
  EXPECT_EQ(replace(file, "new"), EACCES);
  ASSERT_EQ(chmod(file.c_str(), 0644), 0);
  {
    AtomicFileWriter abandoned(file);
    ASSERT_TRUE(abandoned.valid());
    EXPECT_TRUE(abandoned.write(bytes("half")));
  }
  EXPECT_EQ(readBytes(file), "old");
  EXPECT_EQ(replace(file.string() + std::string(1, '\0') + ".new", "x"), EINVAL);
  EXPECT_EQ(readBytes(file), "old");
  EXPECT_EQ(entries(), 1u);
}

}  // namespace
}  // namespace tov::platform
