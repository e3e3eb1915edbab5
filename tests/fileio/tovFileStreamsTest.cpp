// Listing a file's streams: real files with alternate streams, extended
// attributes and ACLs; files that cannot be listed; and walks over crafted
// record sequences a real file cannot produce (long names, broken records,
// running out of memory).
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <new>
#include <string>
#include <vector>

#include "TempDir.h"
#include "fileio/tovFileStreams.h"
#include "platform/FileHandle.h"

namespace ferrule {
namespace {

using tovtest::u16;
using tovtest::writeBytes;

void setAttribute(const std::filesystem::path& path, const std::string& name, const std::string& value) {
  ASSERT_EQ(::setxattr(path.c_str(), name.c_str(), value.data(), value.size(), 0), 0) << name;
}

std::string withNul(const std::string& s) { return s + '\0'; }

class tovFileStreamsTest : public ::testing::Test {
 protected:
  tovtest::TempDir dir_{"streams"};
  std::filesystem::path file_ = dir_ / "file.txt";
  tovFileStreams streams_;
};

TEST_F(tovFileStreamsTest, AnOrdinaryFileHasOneDataStream) {
  writeBytes(file_, "12345");
  ASSERT_TRUE(streams_.ReadFileStreams(u16(file_), false));
  ASSERT_EQ(streams_.Count(), 1);
  const FileStream& s = streams_.Items()[0];
  EXPECT_TRUE(s.StreamIDData());
  EXPECT_FALSE(s.StreamIDAlternateData());
  EXPECT_EQ(s.StreamID(), 1);
  EXPECT_EQ(s.Attributes(), 0);
  EXPECT_EQ(s.Size(), 5.0);
  EXPECT_EQ(s.Name(), u"::$DATA");
  EXPECT_EQ(s.ShortName(), u"");
}

TEST_F(tovFileStreamsTest, StreamsAttributesAndAclAreListedWithKindsNamesAndSizes) {
  writeBytes(file_, std::string(1000, 'm'));
  setAttribute(file_, "user.DosStream.Zone.Identifier:$DATA", withNul("[ZoneTransfer]\r\nZoneId=3\r\n"));
  setAttribute(file_, "user.DosStream.summary:$DATA", withNul(std::string(300, 's')));
  setAttribute(file_, "user.DosStream.Пометка:$DATA", withNul("Cyrillic"));
  setAttribute(file_, "user.DOSATTRIB", "0x20");
  setAttribute(file_, "user.origin", "https://example.org/");
  // An access ACL naming one more user, as setfacl -m u:1234:r writes it.
  const std::uint8_t acl[] = {2, 0, 0, 0, 1, 0, 6, 0, 0xFF, 0xFF, 0xFF, 0xFF, 2, 0, 4, 0, 0xD2, 4, 0, 0,
                              4, 0, 4, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0x10, 0, 4, 0, 0xFF, 0xFF, 0xFF, 0xFF,
                              0x20, 0, 4, 0, 0xFF, 0xFF, 0xFF, 0xFF};
  ASSERT_EQ(::setxattr(file_.c_str(), "system.posix_acl_access", acl, sizeof acl, 0), 0);
  ASSERT_TRUE(streams_.ReadFileStreams(u16(file_), true));
  std::vector<std::u16string> names, shortNames;
  std::vector<int> kinds;
  std::vector<double> sizes;
  for (const FileStream& s : streams_.Items()) {
    names.push_back(s.Name());
    shortNames.push_back(s.ShortName());
    kinds.push_back(s.StreamID());
    sizes.push_back(s.Size());
  }
  EXPECT_EQ(kinds, (std::vector<int>{1, 2, 3, 4, 4, 4}));
  EXPECT_EQ(names, (std::vector<std::u16string>{u"::$DATA", u"", u"", u":summary:$DATA", u":Zone.Identifier:$DATA",
                                                u":Пометка:$DATA"}));
  EXPECT_EQ(shortNames, (std::vector<std::u16string>{u"", u"", u"", u"summary", u"Zone.Identifier", u"Пометка"}));
  EXPECT_EQ(sizes[0], 1000);
  EXPECT_GT(sizes[1], 0);
  EXPECT_GT(sizes[2], 20) << "a descriptor holds at least its header and the owner";
  EXPECT_EQ(sizes[3], 300);
  EXPECT_EQ(sizes[4], 26);
  EXPECT_EQ(sizes[5], 8);
  const FileStream& security = streams_.Items()[2];
  EXPECT_TRUE(security.StreamIDSecurityData());
  EXPECT_TRUE(security.AttributeContainsSecurity());
  EXPECT_FALSE(streams_.Items()[1].AttributeContainsSecurity());
  EXPECT_TRUE(streams_.Items()[1].StreamIDEAData());

  ASSERT_TRUE(streams_.ReadFileStreams(u16(file_), false));
  EXPECT_EQ(streams_.Count(), 5) << "no security stream unless asked for";
  for (const FileStream& s : streams_.Items()) EXPECT_FALSE(s.StreamIDSecurityData());
}

TEST_F(tovFileStreamsTest, SizesPast4GiBKeepBothHalves) {
  {
    auto f = tov::platform::FileHandle::open(u16(file_), tov::platform::kGenericWrite, 0,
                                             tov::platform::CreateDisposition::CreateAlways);
    ASSERT_EQ(::ftruncate(f.fd(), (std::int64_t{5} << 32) + 7), 0);
  }
  ASSERT_TRUE(streams_.ReadFileStreams(u16(file_), false));
  ASSERT_EQ(streams_.Count(), 1);
  EXPECT_EQ(streams_.Items()[0].Size(), 21474836487.0);
}

TEST_F(tovFileStreamsTest, DirectoriesAndLinksListTheStreamsOfWhatTheyName) {
  const auto folder = dir_ / "folder";
  std::filesystem::create_directory(folder);
  setAttribute(folder, "user.DosStream.desktop:$DATA", withNul("x"));
  ASSERT_TRUE(streams_.ReadFileStreams(u16(folder), false));
  ASSERT_EQ(streams_.Count(), 1) << "a directory has no data stream";
  EXPECT_EQ(streams_.Items()[0].Name(), u":desktop:$DATA");

  writeBytes(file_, "abc");
  std::filesystem::create_symlink(file_, dir_ / "link");
  ASSERT_TRUE(streams_.ReadFileStreams(u16(dir_ / "link"), false));
  ASSERT_EQ(streams_.Count(), 1);
  EXPECT_EQ(streams_.Items()[0].Size(), 3);
}

TEST_F(tovFileStreamsTest, WhatCannotBeOpenedGivesFalseAndAnEmptyList) {
  writeBytes(file_, "abc");
  auto refuses = [&](const std::u16string& name) {
    EXPECT_TRUE(streams_.ReadFileStreams(u16(file_), false));
    EXPECT_GE(streams_.Count(), 1);
    EXPECT_FALSE(streams_.ReadFileStreams(name, false)) << std::filesystem::path(name).string();
    EXPECT_EQ(streams_.Count(), 0) << "every read starts from an empty list";
  };
  refuses(u16(dir_ / "missing"));
  refuses(u"");
  refuses(u16(file_) + std::u16string(1, u'\0') + u"tail");
  std::filesystem::create_symlink(dir_ / "nowhere", dir_ / "dangling");
  refuses(u16(dir_ / "dangling"));
  const auto fifo = dir_ / "fifo";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  refuses(u16(fifo));  // at once: a FIFO without writer is never waited on
  refuses(u"/dev/zero");
  setAttribute(file_, "user.DosStream.note:$DATA", withNul("n"));
  refuses(u16(file_) + u":note");
  refuses(u16(file_) + u":note:$DATA");

  // The file's own data under its stream name is the file.
  ASSERT_TRUE(streams_.ReadFileStreams(u16(file_) + u"::$DATA", false));
  EXPECT_EQ(streams_.Count(), 2);

  // A writer that shares nothing holds the file.
  auto writer = tov::platform::FileHandle::open(u16(file_), tov::platform::kGenericWrite, 0,
                                                tov::platform::CreateDisposition::OpenExisting);
  ASSERT_TRUE(writer.valid());
  EXPECT_FALSE(streams_.ReadFileStreams(u16(file_), false));
  EXPECT_EQ(streams_.Count(), 0);
}

TEST_F(tovFileStreamsTest, AFileWithoutReadPermissionIsRefusedForAnOrdinaryUser) {
  writeBytes(file_, "secret");
  ASSERT_EQ(::chmod(file_.c_str(), 0200), 0);
  ASSERT_EQ(::chmod(dir_.path().c_str(), 0755), 0);
  // Root reads everything; the rule is checked as a user without rights.
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) _exit(2);
    tovFileStreams s;
    const bool listed = s.ReadFileStreams(u16(file_), true);
    _exit(!listed && s.Count() == 0 ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
}

// Records laid out as the platform lays them out, from a test's own list.
class CraftedSource : public BackupSource {
 public:
  struct Record {
    std::uint32_t id;
    std::uint32_t attributes;
    std::uint64_t size;
    std::string nameBytes;
    std::uint32_t claimedNameSize = 0xFFFFFFFF;  // the name's real size unless set
  };
  explicit CraftedSource(const std::vector<Record>& records) {
    for (const Record& r : records) {
      put(r.id);
      put(r.attributes);
      put(static_cast<std::uint32_t>(r.size));
      put(static_cast<std::uint32_t>(r.size >> 32));
      put(r.claimedNameSize == 0xFFFFFFFF ? static_cast<std::uint32_t>(r.nameBytes.size()) : r.claimedNameSize);
      bytes_ += r.nameBytes;
      bytes_ += std::string(r.size, 'd');
    }
  }
  bool read(std::uint8_t* buffer, std::uint32_t size, std::uint32_t& got) override {
    if (++reads_ == failOnRead) throw std::bad_alloc();
    // Hands out at most `chunk` bytes per read, as a source may.
    got = static_cast<std::uint32_t>(std::min<std::size_t>({size, chunk, bytes_.size() - pos_}));
    std::copy_n(bytes_.data() + pos_, got, buffer);
    pos_ += got;
    return true;
  }
  void seek(std::uint64_t n) override { pos_ += std::min<std::uint64_t>(n, bytes_.size() - pos_); }

  std::size_t chunk = 1 << 20;
  int failOnRead = 0;

 private:
  void put(std::uint32_t v) {
    for (int i = 0; i < 4; ++i) bytes_.push_back(static_cast<char>(v >> (8 * i)));
  }
  std::string bytes_;
  std::size_t pos_ = 0;
  int reads_ = 0;
};

std::string utf16(const std::u16string& s) {
  std::string out;
  for (char16_t c : s) {
    out.push_back(static_cast<char>(c & 0xFF));
    out.push_back(static_cast<char>(c >> 8));
  }
  return out;
}

TEST(FileStreamWalk, NamesLongerThanTheClassicBufferAreKeptWhole) {
  const std::u16string longName = u":" + std::u16string(400, u'n') + u":$DATA";
  CraftedSource source({{1, 0, 3, ""}, {4, 0, 5, utf16(longName)}, {4, 0, 1, utf16(u":odd") + "x"}});
  source.chunk = 7;  // names arrive in several reads
  tovFileStreams streams;
  ASSERT_TRUE(streams.readFrom(source));
  ASSERT_EQ(streams.Count(), 3);
  EXPECT_EQ(streams.Items()[1].Name(), longName);
  EXPECT_EQ(streams.Items()[1].ShortName(), std::u16string(400, u'n'));
  EXPECT_EQ(streams.Items()[2].Name(), u":odd") << "an odd last byte is no character";
}

TEST(FileStreamWalk, BrokenRecordsEndTheWalkAndKeepWhatWasListed) {
  tovFileStreams streams;
  CraftedSource tooLong({{1, 0, 2, ""}, {4, 0, 0, "", 70000}, {4, 0, 0, utf16(u":never")}});
  ASSERT_TRUE(streams.readFrom(tooLong));
  EXPECT_EQ(streams.Count(), 1) << "a name size no name can have";

  CraftedSource nameCutShort({{1, 0, 0, ""}, {4, 0, 0, "ab", 40}});
  ASSERT_TRUE(streams.readFrom(nameCutShort));
  EXPECT_EQ(streams.Count(), 1);

  CraftedSource oddKinds({{0, 0, 0, ""}, {9, 0x8, 0, ""}, {42, -1u, 0, utf16(u"no colon")}});
  ASSERT_TRUE(streams.readFrom(oddKinds));
  ASSERT_EQ(streams.Count(), 3);
  EXPECT_TRUE(streams.Items()[0].StreamIDInvalid());
  EXPECT_EQ(streams.Items()[0].Name(), u"") << "only the data stream is called ::$DATA";
  EXPECT_TRUE(streams.Items()[1].StreamIDSparseBlock());
  EXPECT_TRUE(streams.Items()[1].AttributeSparseAttribute());
  EXPECT_EQ(streams.Items()[2].Attributes(), -1);
  EXPECT_TRUE(streams.Items()[2].AttributeModifiedWhenRead() && streams.Items()[2].AttributeContainsProperties());
  EXPECT_EQ(streams.Items()[2].ShortName(), u"no colon");
}

TEST(FileStreamWalk, RunningOutOfMemoryLeavesAnEmptyListAndFalse) {
  tovFileStreams streams;
  CraftedSource good({{1, 0, 1, ""}});
  ASSERT_TRUE(streams.readFrom(good));
  CraftedSource failing({{1, 0, 1, ""}, {4, 0, 1, utf16(u":a:$DATA")}, {4, 0, 1, utf16(u":b:$DATA")}});
  failing.failOnRead = 4;  // after two streams were listed
  EXPECT_FALSE(streams.readFrom(failing));
  EXPECT_EQ(streams.Count(), 0);
  EXPECT_TRUE(streams.Items().empty());
}

TEST(FileStreamShortName, TakesWhatStandsBetweenTheFirstTwoColons) {
  auto shortName = [](const std::u16string& name) {
    std::uint8_t header[FileStream::kHeaderSize] = {4};
    const std::string bytes = utf16(name);
    return FileStream::fromHeader(header, {reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()})
        .ShortName();
  };
  EXPECT_EQ(shortName(u":a:b:c"), u"a");
  EXPECT_EQ(shortName(u":solo"), u"solo");
  EXPECT_EQ(shortName(u"x:y:z"), u"y");
  EXPECT_EQ(shortName(u"::$DATA"), u"");
  EXPECT_EQ(shortName(u"plain"), u"plain");
}

}  // namespace
}  // namespace ferrule
