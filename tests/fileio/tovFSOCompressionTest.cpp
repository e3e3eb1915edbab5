// Compression of files and directories: the real thing on a btrfs loop
// mount, clean refusals everywhere else.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <linux/fiemap.h>
#include <linux/btrfs.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "TempDir.h"
#include "TestMount.h"
#include "fileio/tovFSO.h"
#include "platform/FileHandle.h"

using ferrule::tovFSO;
using namespace tovtest;

namespace {

constexpr std::int32_t kUntouched = 12345;

// The inode flags as chattr sees them.
int inodeFlags(const std::filesystem::path& p) {
  const int fd = ::open(p.c_str(), O_RDONLY | O_NONBLOCK);
  int flags = -1;
  if (fd >= 0 && ::ioctl(fd, FS_IOC_GETFLAGS, &flags) != 0) flags = -1;
  if (fd >= 0) ::close(fd);
  return flags;
}

// How many of the file's extents the file system stores compressed, and
// how many in all.
std::pair<int, int> encodedExtents(const std::filesystem::path& p) {
  const int fd = ::open(p.c_str(), O_RDONLY);
  std::vector<char> buffer(sizeof(fiemap) + 512 * sizeof(fiemap_extent));
  auto* map = reinterpret_cast<fiemap*>(buffer.data());
  map->fm_start = 0;
  map->fm_length = FIEMAP_MAX_OFFSET;
  map->fm_flags = FIEMAP_FLAG_SYNC;
  map->fm_extent_count = 512;
  int encoded = 0, all = 0;
  if (fd >= 0 && ::ioctl(fd, FS_IOC_FIEMAP, map) == 0) {
    all = static_cast<int>(map->fm_mapped_extents);
    for (unsigned i = 0; i < map->fm_mapped_extents; ++i) encoded += (map->fm_extents[i].fe_flags & FIEMAP_EXTENT_ENCODED) != 0;
  }
  if (fd >= 0) ::close(fd);
  return {encoded, all};
}

// Whether this kernel can rewrite a file's data uncompressed in place (the
// defragmentation flag came with later kernels); without it only data
// written later follows the cleared setting.
bool kernelDecompressesInPlace(const std::filesystem::path& p) {
  const int fd = ::open(p.c_str(), O_RDWR);
  btrfs_ioctl_defrag_range_args args{};
  args.len = 1;
  args.flags = 8;
  const bool supported = fd >= 0 && (::ioctl(fd, BTRFS_IOC_DEFRAG_RANGE, &args) == 0 || errno != EOPNOTSUPP);
  if (fd >= 0) ::close(fd);
  return supported;
}

void writeCompressible(const std::filesystem::path& p) {
  std::ofstream out(p, std::ios::binary);
  for (int i = 0; i < 40000; ++i) out << "a line of text that compresses well, number " << (i % 7) << '\n';
}

class CompressionTest : public ::testing::Test {
 protected:
  tovFSO fso_;
  TempDir dir_{"compr"};
};

TEST_F(CompressionTest, FormatsOutsideTheThreeAreRefusedBeforeTheFileIsOpened) {
  writeBytes(dir_ / "f", "data");
  for (std::int32_t format : {-1, 3, 65536, 65537, 0x7FFFFFFF, static_cast<std::int32_t>(0x80000001)}) {
    std::int32_t err = kUntouched;
    EXPECT_FALSE(fso_.SetFileCompression(u16(dir_ / "f"), format, &err)) << format;
    EXPECT_EQ(err, 87) << format;
    err = kUntouched;
    // Even for a file that does not exist: the format is checked first.
    EXPECT_FALSE(fso_.SetFileCompression(u16(dir_ / "missing"), format, &err)) << format;
    EXPECT_EQ(err, 87) << format;
  }
  EXPECT_FALSE(fso_.SetFileCompression(u16(dir_ / "f"), 65537));
}

TEST_F(CompressionTest, MissingFilesAndFileSystemsThatDoNotCompress) {
  std::int32_t err = kUntouched;
  EXPECT_EQ(fso_.GetFileCompression(u16(dir_ / "missing"), &err), -1);
  EXPECT_EQ(err, 2);
  err = kUntouched;
  EXPECT_FALSE(fso_.SetFileCompression(u16(dir_ / "missing"), 1, &err));
  EXPECT_EQ(err, 2);
  EXPECT_EQ(fso_.GetFileCompression(u16(dir_ / "missing")), -1) << "no error code asked for";

  // Wherever the temporary directory lives (not on btrfs here), neither
  // request is answered, and the file's flags stay as they were.
  writeBytes(dir_ / "f", "data");
  const int before = inodeFlags(dir_ / "f");
  err = kUntouched;
  EXPECT_EQ(fso_.GetFileCompression(u16(dir_ / "f"), &err), -1);
  EXPECT_EQ(err, 1);
  err = kUntouched;
  EXPECT_FALSE(fso_.SetFileCompression(u16(dir_ / "f"), 1, &err));
  EXPECT_EQ(err, 1);
  EXPECT_EQ(inodeFlags(dir_ / "f"), before);

  const std::filesystem::path fifo = dir_ / "pipe";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  EXPECT_EQ(fso_.GetFileCompression(u16(fifo), &err), -1);
  EXPECT_EQ(err, 1);
  EXPECT_EQ(fso_.GetFileCompression(u"/dev/null", &err), -1);
  EXPECT_EQ(err, 1);
}

TEST_F(CompressionTest, Ext4KeepsTheFlagButDoesNotCompressSoItIsRefused) {
  TestMount ext4("ext4");
  if (!ext4.ok()) GTEST_SKIP() << ext4.reason();
  writeBytes(ext4 / "f", "data");
  std::int32_t err = kUntouched;
  EXPECT_EQ(fso_.GetFileCompression(u16(ext4 / "f"), &err), -1);
  EXPECT_EQ(err, 1);
  err = kUntouched;
  EXPECT_FALSE(fso_.SetFileCompression(u16(ext4 / "f"), 2, &err));
  EXPECT_EQ(err, 1);
  EXPECT_EQ(inodeFlags(ext4 / "f") & FS_COMPR_FL, 0) << "no flag stored for nothing";
  EXPECT_EQ(fso_.GetFileCompression(u16(ext4.point()), &err), -1);
  EXPECT_EQ(err, 1);
}

TEST_F(CompressionTest, BtrfsCompressesQueriesAndDecompresses) {
  TestMount btrfs("btrfs");
  if (!btrfs.ok()) GTEST_SKIP() << btrfs.reason();
  const std::filesystem::path f = btrfs / "text.txt";
  writeCompressible(f);
  const std::string content = readBytes(f);
  std::int32_t err = kUntouched;
  EXPECT_EQ(fso_.GetFileCompression(u16(f), &err), 0);
  EXPECT_EQ(err, 0);
  EXPECT_EQ(encodedExtents(f).first, 0);

  err = kUntouched;
  ASSERT_TRUE(fso_.SetFileCompression(u16(f), 1, &err));
  EXPECT_EQ(err, 0);
  EXPECT_EQ(fso_.GetFileCompression(u16(f), &err), 2) << "the format in use, not 'default'";
  EXPECT_EQ(err, 0);
  EXPECT_NE(inodeFlags(f) & FS_COMPR_FL, 0);
  // The data already there is stored compressed, not only what comes later.
  const auto [encoded, all] = encodedExtents(f);
  EXPECT_GT(encoded, 0);
  EXPECT_EQ(encoded, all);
  EXPECT_EQ(readBytes(f), content);

  ASSERT_TRUE(fso_.SetFileCompression(u16(f), 0, &err));
  EXPECT_EQ(err, 0);
  EXPECT_EQ(fso_.GetFileCompression(u16(f), &err), 0);
  EXPECT_EQ(inodeFlags(f) & FS_COMPR_FL, 0);
  if (kernelDecompressesInPlace(f)) {
    EXPECT_EQ(encodedExtents(f).first, 0);
  }
  EXPECT_EQ(readBytes(f), content);

  ASSERT_TRUE(fso_.SetFileCompression(u16(f), 2, &err));
  EXPECT_EQ(fso_.GetFileCompression(u16(f)), 2);
  EXPECT_EQ(readBytes(f), content);

  // A directory: its new files are compressed.
  const std::filesystem::path d = btrfs / "dir";
  std::filesystem::create_directory(d);
  EXPECT_EQ(fso_.GetFileCompression(u16(d), &err), 0);
  ASSERT_TRUE(fso_.SetFileCompression(u16(d), 1, &err));
  EXPECT_EQ(fso_.GetFileCompression(u16(d)), 2);
  writeCompressible(d / "new.txt");
  EXPECT_EQ(fso_.GetFileCompression(u16(d / "new.txt")), 2);
  EXPECT_GT(encodedExtents(d / "new.txt").first, 0);
}

TEST_F(CompressionTest, BtrfsReadOnlyFilesMountsAndHeldFiles) {
  TestMount btrfs("btrfs");
  if (!btrfs.ok()) GTEST_SKIP() << btrfs.reason();
  const std::filesystem::path f = btrfs / "f";
  writeCompressible(f);
  std::int32_t err = kUntouched;

  // Someone writing the file: the change waits its turn, the query does not.
  {
    auto writer = tov::platform::FileHandle::openNative(f, tov::platform::kGenericWrite,
                                                        tov::platform::kFileShareRead | tov::platform::kFileShareWrite,
                                                        tov::platform::CreateDisposition::OpenExisting);
    ASSERT_TRUE(writer.valid());
    EXPECT_FALSE(fso_.SetFileCompression(u16(f), 1, &err));
    EXPECT_EQ(err, 32);
    EXPECT_EQ(fso_.GetFileCompression(u16(f), &err), 0);
    EXPECT_EQ(err, 0);
  }

  // A read-only file is queried, not changed.
  ASSERT_TRUE(fso_.SetFileCompression(u16(f), 1, &err));
  ::chmod(f.c_str(), 0444);
  EXPECT_EQ(fso_.GetFileCompression(u16(f), &err), 2);
  EXPECT_EQ(err, 0);
  EXPECT_FALSE(fso_.SetFileCompression(u16(f), 0, &err));
  EXPECT_EQ(err, 5);
  EXPECT_NE(inodeFlags(f) & FS_COMPR_FL, 0);
  ::chmod(f.c_str(), 0644);

  // A read-only mount answers queries and refuses changes.
  ASSERT_TRUE(btrfs.remount("ro"));
  EXPECT_EQ(fso_.GetFileCompression(u16(f), &err), 2);
  EXPECT_EQ(err, 0);
  EXPECT_EQ(fso_.GetFileCompression(u16(btrfs.point()), &err), 0);
  EXPECT_EQ(err, 0);
  EXPECT_FALSE(fso_.SetFileCompression(u16(f), 0, &err));
  EXPECT_EQ(err, 19);
  EXPECT_FALSE(fso_.SetFileCompression(u16(btrfs.point()), 1, &err));
  EXPECT_EQ(err, 19);
}

TEST_F(CompressionTest, BtrfsMountedToCompressEverything) {
  TestMount btrfs("btrfs", "compress=zstd");
  if (!btrfs.ok()) GTEST_SKIP() << btrfs.reason();
  const std::filesystem::path f = btrfs / "f";
  writeCompressible(f);
  // Compressed without any flag of its own, and reported so.
  EXPECT_EQ(fso_.GetFileCompression(u16(f)), 2);
  std::int32_t err = kUntouched;
  ASSERT_TRUE(fso_.SetFileCompression(u16(f), 0, &err));
  EXPECT_EQ(fso_.GetFileCompression(u16(f)), 0);
  if (kernelDecompressesInPlace(f)) {
    EXPECT_EQ(encodedExtents(f).first, 0);
  }
  ASSERT_TRUE(fso_.SetFileCompression(u16(f), 1, &err));
  EXPECT_EQ(fso_.GetFileCompression(u16(f)), 2);
  EXPECT_GT(encodedExtents(f).first, 0);
}

}  // namespace
