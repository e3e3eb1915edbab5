// Backup records of real files: the byte layout, which attributes become
// which record, the security descriptor, seeking and reads of any size.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "TempDir.h"
#include "platform/BackupStream.h"
#include "platform/FileHandle.h"
#include "platform/WinError.h"

namespace tov::platform {
namespace {

using tovtest::u16;
using tovtest::writeBytes;

struct Record {
  std::uint32_t id = 0;
  std::uint32_t attributes = 0;
  std::uint64_t size = 0;
  std::u16string name;
  std::string data;
};

std::uint32_t get32(const std::uint8_t* p) { return p[0] | p[1] << 8 | p[2] << 16 | std::uint32_t{p[3]} << 24; }
std::uint16_t get16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | p[1] << 8); }

// The whole sequence, read `chunk` bytes at a time, then parsed as a backup
// program would parse what it wrote to tape.
std::string readSequence(FileHandle& file, bool security, std::uint32_t chunk) {
  BackupContext* context = nullptr;
  std::string all;
  std::vector<std::uint8_t> buffer(chunk);
  for (;;) {
    std::uint32_t got = 0;
    EXPECT_TRUE(BackupRead(file, buffer.data(), chunk, &got, false, security, &context));
    if (got == 0) break;
    all.append(reinterpret_cast<const char*>(buffer.data()), got);
  }
  std::uint32_t ignored = 0;
  EXPECT_TRUE(BackupRead(file, nullptr, 0, &ignored, true, security, &context));
  EXPECT_EQ(context, nullptr);
  return all;
}

std::vector<Record> parse(const std::string& bytes) {
  std::vector<Record> out;
  const auto* p = reinterpret_cast<const std::uint8_t*>(bytes.data());
  std::size_t at = 0;
  while (at < bytes.size()) {
    if (bytes.size() - at < kStreamIdHeaderSize) {
      ADD_FAILURE() << "a header cut short at " << at;
      break;
    }
    Record r;
    r.id = get32(p + at);
    r.attributes = get32(p + at + 4);
    r.size = get32(p + at + 8) | std::uint64_t{get32(p + at + 12)} << 32;
    const std::uint32_t nameSize = get32(p + at + 16);
    at += kStreamIdHeaderSize;
    for (std::uint32_t i = 0; i + 1 < nameSize; i += 2) r.name.push_back(get16(p + at + i));
    at += nameSize;
    r.data = bytes.substr(at, r.size);
    at += r.size;
    out.push_back(std::move(r));
  }
  return out;
}

std::vector<Record> records(const std::filesystem::path& path, bool security = false, std::uint32_t chunk = 4096) {
  FileHandle file = FileHandle::open(u16(path), kGenericRead, kFileShareRead, CreateDisposition::OpenExisting,
                                     kFileFlagBackupSemantics);
  EXPECT_TRUE(file.valid()) << path;
  if (!file.valid()) return {};
  return parse(readSequence(file, security, chunk));
}

void setAttribute(const std::filesystem::path& path, const std::string& name, const std::string& value) {
  ASSERT_EQ(::setxattr(path.c_str(), name.c_str(), value.data(), value.size(), 0), 0) << name << ": "
                                                                                       << std::strerror(errno);
}

struct EaEntry {
  std::string name;
  std::string value;
};

std::vector<EaEntry> parseEaList(const std::string& bytes) {
  std::vector<EaEntry> out;
  const auto* p = reinterpret_cast<const std::uint8_t*>(bytes.data());
  for (std::size_t at = 0;;) {
    const std::uint32_t next = get32(p + at);
    const std::uint8_t nameLength = p[at + 5];
    const std::uint16_t valueLength = get16(p + at + 6);
    EXPECT_EQ(p[at + 4], 0) << "flags";
    EXPECT_EQ(p[at + 8 + nameLength], 0) << "the name's NUL";
    out.push_back({bytes.substr(at + 8, nameLength), bytes.substr(at + 9 + nameLength, valueLength)});
    if (next == 0) {
      EXPECT_EQ(at + 9 + nameLength + valueLength, bytes.size()) << "the last entry ends the record";
      break;
    }
    EXPECT_EQ(next % 4, 0u);
    EXPECT_GE(next, 9u + nameLength + valueLength);
    at += next;
  }
  return out;
}

class BackupStreamTest : public ::testing::Test {
 protected:
  tovtest::TempDir dir_{"backup"};
  std::filesystem::path file_ = dir_ / "file.txt";
};

TEST_F(BackupStreamTest, PlainFileIsOneDataRecordWithoutName) {
  writeBytes(file_, "hello, world");
  const auto r = records(file_);
  ASSERT_EQ(r.size(), 1u);
  EXPECT_EQ(r[0].id, kBackupData);
  EXPECT_EQ(r[0].attributes, kStreamNormalAttribute);
  EXPECT_EQ(r[0].size, 12u);
  EXPECT_EQ(r[0].name, u"");
  EXPECT_EQ(r[0].data, "hello, world");
}

TEST_F(BackupStreamTest, StreamsAndAttributesBecomeTheirRecordsInOrder) {
  writeBytes(file_, "main");
  setAttribute(file_, "user.DosStream.zeta:$DATA", std::string("last\0", 5));
  setAttribute(file_, "user.DosStream.Zone.Identifier:$DATA", std::string("[ZoneTransfer]\r\nZoneId=3\r\n\0", 27));
  setAttribute(file_, "user.DosStream.alpha:$DATA", std::string("", 1));
  setAttribute(file_, "user.DOSATTRIB", "0x22");
  setAttribute(file_, "user.comment", "kept as an EA");
  setAttribute(file_, "user.Author", std::string("bin\0ary", 7));

  const auto r = records(file_);
  ASSERT_EQ(r.size(), 5u);
  EXPECT_EQ(r[0].id, kBackupData);
  EXPECT_EQ(r[0].data, "main");

  EXPECT_EQ(r[1].id, kBackupEaData);
  EXPECT_EQ(r[1].name, u"");
  const auto eas = parseEaList(r[1].data);
  ASSERT_EQ(eas.size(), 2u) << "neither the DOS attributes nor the streams are EAs";
  EXPECT_EQ(eas[0].name, "Author");
  EXPECT_EQ(eas[0].value, std::string("bin\0ary", 7));
  EXPECT_EQ(eas[1].name, "comment");
  EXPECT_EQ(eas[1].value, "kept as an EA");

  // Sorted without regard to case; each value without its stored NUL.
  EXPECT_EQ(r[2].id, kBackupAlternateData);
  EXPECT_EQ(r[2].name, u":alpha:$DATA");
  EXPECT_EQ(r[2].size, 0u);
  EXPECT_EQ(r[3].name, u":zeta:$DATA");
  EXPECT_EQ(r[3].data, "last");
  EXPECT_EQ(r[4].name, u":Zone.Identifier:$DATA");
  EXPECT_EQ(r[4].size, 26u);
  EXPECT_EQ(r[4].data, "[ZoneTransfer]\r\nZoneId=3\r\n");
  for (const Record& rec : r) EXPECT_EQ(rec.attributes, kStreamNormalAttribute);
}

TEST_F(BackupStreamTest, UnusualStreamAttributes) {
  writeBytes(file_, "");
  setAttribute(file_, "user.DosStream.no-nul:$DATA", "all of it");
  setAttribute(file_, "user.DosStream.other:$TYPE", std::string("x\0", 2));
  setAttribute(file_, "user.DosStream.untyped", std::string("y\0", 2));
  setAttribute(file_, "user.DosStream.:$DATA", "the file's own data is never an attribute");
  setAttribute(file_, "user.DosStream.", "no name at all");
  setAttribute(file_, "user.DosStream.\xd0\xb8\xd0\xbc\xd1\x8f:$DATA", std::string("z\0", 2));  // "имя"

  const auto r = records(file_);
  std::vector<std::u16string> names;
  for (const Record& rec : r) {
    EXPECT_NE(rec.id, kBackupEaData) << "a stream attribute is never an EA";
    if (rec.id == kBackupAlternateData) names.push_back(rec.name);
  }
  // A name stored without its type is listed with it, as a share shows it.
  EXPECT_EQ(names, (std::vector<std::u16string>{u":no-nul:$DATA", u":other:$TYPE", u":untyped:$DATA", u":имя:$DATA"}));
  EXPECT_EQ(r[1].size, 9u) << "a value stored without the NUL loses nothing";
  EXPECT_EQ(r[1].data, "all of it");
}

TEST_F(BackupStreamTest, NamesThatAreNotUtf8ComeBackAsTheFileLayerCarriesThem) {
  writeBytes(file_, "");
  setAttribute(file_, "user.DosStream.bad\xff\xfe:$DATA", std::string("v\0", 2));
  const auto r = records(file_);
  ASSERT_EQ(r.size(), 2u);
  const std::u16string& name = r[1].name;
  ASSERT_EQ(name.size(), std::u16string(u":bad??:$DATA").size());
  EXPECT_EQ(name.substr(0, 4), u":bad");
  EXPECT_EQ(name.substr(6), u":$DATA");
  for (char16_t c : name.substr(4, 2)) EXPECT_TRUE(c == 0xFFFD || (c >= 0xDC80 && c <= 0xDCFF)) << int(c);
}

TEST_F(BackupStreamTest, DirectoriesHaveNoDataRecordButTheirStreams) {
  const auto sub = dir_ / "folder";
  std::filesystem::create_directory(sub);
  EXPECT_FALSE(FileHandle::open(u16(sub), kGenericRead, kFileShareRead, CreateDisposition::OpenExisting).valid());
  setAttribute(sub, "user.DosStream.note:$DATA", std::string("n\0", 2));
  const auto r = records(sub);
  ASSERT_EQ(r.size(), 1u);
  EXPECT_EQ(r[0].id, kBackupAlternateData);
  EXPECT_EQ(r[0].name, u":note:$DATA");
}

TEST_F(BackupStreamTest, ReadsOfAnySizeGiveTheSameSequenceAndNeverCrossARecord) {
  writeBytes(file_, std::string(10000, 'd'));
  setAttribute(file_, "user.DosStream.s:$DATA", std::string(300, 's') + '\0');
  setAttribute(file_, "user.ea", "v");
  FileHandle file = FileHandle::open(u16(file_), kGenericRead, kFileShareRead, CreateDisposition::OpenExisting);
  const std::string whole = readSequence(file, true, 1 << 20);
  EXPECT_EQ(readSequence(file, true, 1), whole);
  EXPECT_EQ(readSequence(file, true, 7), whole);

  // A big buffer still stops at the end of each record.
  BackupContext* context = nullptr;
  std::vector<std::uint8_t> buffer(1 << 20);
  std::vector<std::uint32_t> sizes;
  for (std::uint32_t got = 1; got != 0;) {
    ASSERT_TRUE(BackupRead(file, buffer.data(), buffer.size(), &got, false, true, &context));
    if (got) sizes.push_back(got);
  }
  const auto r = parse(whole);
  ASSERT_EQ(sizes.size(), r.size());
  for (std::size_t i = 0; i < r.size(); ++i) EXPECT_EQ(sizes[i], kStreamIdHeaderSize + 2 * r[i].name.size() + r[i].size);
  std::uint32_t got = 0;
  BackupRead(file, nullptr, 0, &got, true, false, &context);
}

TEST_F(BackupStreamTest, SeekSkipsDataWithoutReadingAndStopsAtTheRecordEnd) {
  // A sparse file of 20 GiB: both halves of the size, skipped in no time.
  {
    FileHandle f = FileHandle::open(u16(file_), kGenericWrite, 0, CreateDisposition::CreateAlways);
    ASSERT_EQ(::ftruncate(f.fd(), (std::int64_t{5} << 32) + 3), 0);
  }
  setAttribute(file_, "user.DosStream.next:$DATA", std::string("abc\0", 4));
  FileHandle file = FileHandle::open(u16(file_), kGenericRead, kFileShareRead, CreateDisposition::OpenExisting);
  BackupContext* context = nullptr;
  std::uint32_t lo = 9, hi = 9;
  SetLastError(kErrorSuccess);
  EXPECT_FALSE(BackupSeek(file, 1, 0, &lo, &hi, &context)) << "nothing to seek in before the first read";
  EXPECT_EQ(GetLastError(), kErrorSeek);

  std::uint8_t header[kStreamIdHeaderSize];
  std::uint32_t got = 0;
  ASSERT_TRUE(BackupRead(file, header, 10, &got, false, false, &context));
  EXPECT_FALSE(BackupSeek(file, 1, 0, &lo, &hi, &context)) << "never into a header";
  EXPECT_EQ(lo, 0u);
  ASSERT_TRUE(BackupRead(file, header + 10, 10, &got, false, false, &context));
  EXPECT_EQ(get32(header), kBackupData);
  EXPECT_EQ(get32(header + 8), 3u);
  EXPECT_EQ(get32(header + 12), 5u);

  ASSERT_TRUE(BackupSeek(file, 3, 5, &lo, &hi, &context));
  EXPECT_EQ(lo, 3u);
  EXPECT_EQ(hi, 5u);
  ASSERT_TRUE(BackupRead(file, header, kStreamIdHeaderSize, &got, false, false, &context));
  EXPECT_EQ(got, kStreamIdHeaderSize);
  EXPECT_EQ(get32(header), kBackupAlternateData);
  std::uint8_t name[64];
  ASSERT_TRUE(BackupRead(file, name, get32(header + 16), &got, false, false, &context));
  EXPECT_FALSE(BackupSeek(file, 100, 0, &lo, &hi, &context)) << "past the end of the record";
  EXPECT_EQ(GetLastError(), kErrorSeek);
  EXPECT_EQ(lo, 3u);
  EXPECT_EQ(hi, 0u);
  ASSERT_TRUE(BackupRead(file, header, kStreamIdHeaderSize, &got, false, false, &context));
  EXPECT_EQ(got, 0u) << "the end of the sequence";
  ASSERT_TRUE(BackupRead(file, nullptr, 0, &got, true, false, &context));
  EXPECT_EQ(context, nullptr);
}

TEST_F(BackupStreamTest, AFileThatShrinksUnderTheWalkFailsTheReadInsteadOfShiftingTheRecords) {
  writeBytes(file_, std::string(1000, 'x'));
  FileHandle file = FileHandle::open(u16(file_), kGenericRead, kFileShareRead, CreateDisposition::OpenExisting);
  BackupContext* context = nullptr;
  std::uint8_t buffer[2048];
  std::uint32_t got = 0;
  ASSERT_TRUE(BackupRead(file, buffer, kStreamIdHeaderSize, &got, false, false, &context));
  ASSERT_EQ(::truncate(file_.c_str(), 10), 0);
  EXPECT_FALSE(BackupRead(file, buffer, sizeof buffer, &got, false, false, &context));
  EXPECT_EQ(got, 10u);
  EXPECT_EQ(GetLastError(), kErrorHandleEof);
  BackupRead(file, nullptr, 0, &got, true, false, &context);
}

TEST_F(BackupStreamTest, BadArguments) {
  writeBytes(file_, "x");
  FileHandle file = FileHandle::open(u16(file_), kGenericRead, kFileShareRead, CreateDisposition::OpenExisting);
  BackupContext* context = nullptr;
  std::uint32_t got = 0;
  EXPECT_FALSE(BackupRead(file, nullptr, 10, &got, false, false, &context));
  EXPECT_EQ(GetLastError(), kErrorInvalidParameter);
  EXPECT_FALSE(BackupRead(file, nullptr, 0, &got, false, false, nullptr));
  EXPECT_TRUE(BackupRead(file, nullptr, 0, &got, true, false, &context)) << "abort without a walk";
  FileHandle closed;
  std::uint8_t b[4];
  EXPECT_FALSE(BackupRead(closed, b, 4, &got, false, false, &context));
  EXPECT_EQ(GetLastError(), kErrorInvalidHandle);
  EXPECT_EQ(context, nullptr);
}

TEST_F(BackupStreamTest, BackupOpensRefuseDevicesAndFifosWithoutOpeningThem) {
  const auto fifo = dir_ / "fifo";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  for (const std::filesystem::path& p : {fifo, std::filesystem::path("/dev/null")}) {
    FileHandle h = FileHandle::open(u16(p), kGenericRead, kFileShareRead, CreateDisposition::OpenExisting,
                                    kFileFlagBackupSemantics);
    EXPECT_FALSE(h.valid()) << p;
    EXPECT_EQ(GetLastError(), kErrorAccessDenied);
  }
}

TEST_F(BackupStreamTest, FilesWithoutUserAttributesStillHaveTheirData) {
  // /proc keeps no user attributes at all.
  const auto r = records("/proc/self/status");
  ASSERT_EQ(r.size(), 1u);
  EXPECT_EQ(r[0].id, kBackupData);
}

// Extended attributes as large as the kernel takes (64 KiB), where the file
// system takes them: tmpfs does, ext4 without large attributes does not.
TEST(BackupStreamLargeAttributes, AStreamOf64KiBAndAnEaTooLargeForTheEaForm) {
  tovtest::TempDir dir("backup-large");
  std::filesystem::path file = std::filesystem::path("/dev/shm") / ("tovapps-backup-" + std::to_string(getpid()));
  if (::access("/dev/shm", W_OK) != 0) file = dir / "f";
  writeBytes(file, "d");
  const std::string big(65535, 'b');
  const std::string withNul = big + '\0';
  if (::setxattr(file.c_str(), "user.DosStream.big:$DATA", withNul.data(), withNul.size(), 0) != 0 ||
      ::setxattr(file.c_str(), "user.huge", withNul.data(), withNul.size(), 0) != 0 ||
      ::setxattr(file.c_str(), "user.fits", big.data(), big.size(), 0) != 0) {
    std::filesystem::remove(file);
    GTEST_SKIP() << "no file system here takes 64 KiB attributes";
  }
  const auto r = records(file);
  std::filesystem::remove(file);
  ASSERT_EQ(r.size(), 3u);
  const auto eas = parseEaList(r[1].data);
  ASSERT_EQ(eas.size(), 1u) << "a 65536-byte value cannot be stated in the EA form's 16-bit length";
  EXPECT_EQ(eas[0].name, "fits");
  EXPECT_EQ(eas[0].value, big);
  EXPECT_EQ(r[2].name, u":big:$DATA");
  EXPECT_EQ(r[2].size, 65535u);
  EXPECT_EQ(r[2].data, big);
}

TEST(BackupStreamLargeAttributes, NamesTooManyToListFailTheWalkAfterTheData) {
  const std::filesystem::path file = std::filesystem::path("/dev/shm") / ("tovapps-names-" + std::to_string(getpid()));
  writeBytes(file, "data");
  // 400 names of 200 bytes: more than the 64 KiB a listing may return.
  for (int i = 0; i < 400; ++i) {
    const std::string name = "user.DosStream." + std::string(180, 'n') + std::to_string(1000 + i) + ":$DATA";
    if (::setxattr(file.c_str(), name.c_str(), "\0", 1, 0) != 0) {
      std::filesystem::remove(file);
      GTEST_SKIP() << "no file system here takes that many attributes";
    }
  }
  FileHandle h = FileHandle::open(u16(file), kGenericRead, kFileShareRead, CreateDisposition::OpenExisting);
  std::filesystem::remove(file);
  BackupContext* context = nullptr;
  std::uint8_t buffer[64];
  std::uint32_t got = 0;
  ASSERT_TRUE(BackupRead(h, buffer, sizeof buffer, &got, false, true, &context));
  EXPECT_EQ(got, kStreamIdHeaderSize + 4) << "the data record";
  EXPECT_FALSE(BackupRead(h, buffer, sizeof buffer, &got, false, true, &context)) << "not an end: the rest is unknown";
  EXPECT_EQ(got, 0u);
  BackupRead(h, nullptr, 0, &got, true, false, &context);
}

}  // namespace
}  // namespace tov::platform
