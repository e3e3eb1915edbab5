// What this library stores in a directory shared through a file server is
// what the server's Windows clients see, and what they store reads back
// here: DOS attributes, zone marks and other streams, checked against a
// real server on 127.0.0.1 driven by its command-line client.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/xattr.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "SambaServer.h"
#include "TempDir.h"
#include "fileio/tovFSO.h"
#include "fileio/tovFileStreams.h"
#include "platform/AlternateStream.h"
#include "platform/DosAttributeRecord.h"
#include "platform/FileAttributes.h"
#include "platform/FindFile.h"
#include "platform/Utf.h"

using namespace tov::platform;
using tovtest::readBytes;
using tovtest::u16;
using tovtest::writeBytes;

namespace {

const std::string kZoneMark = "[ZoneTransfer]\r\nZoneId=3\r\n";
constexpr std::uint64_t kFeb2001 = 0x01c08d967db50500ULL;  // 2001-02-03 04:05:06 UTC in FILETIME ticks

// A binary record with attributes and creation time valid, the creation
// time at `creationAt` in fields of `size` bytes.
std::vector<std::uint8_t> binaryRecord(const std::string& text, std::uint16_t version, std::uint32_t attributes,
                                       std::size_t creationAt, std::size_t size) {
  std::vector<std::uint8_t> b(text.begin(), text.end());
  b.push_back(0);
  b.resize((b.size() + 1) / 2 * 2, 0);
  for (int i = 0; i < 2; ++i) b.insert(b.end(), {static_cast<std::uint8_t>(version), 0});
  b.resize((b.size() + 3) / 4 * 4, 0);
  const std::size_t fields = b.size();
  b.resize(fields + size, 0);
  auto put = [&](std::size_t at, std::uint64_t v, int n) {
    for (int i = 0; i < n; ++i) b[fields + at + i] = static_cast<std::uint8_t>(v >> (8 * i));
  };
  put(0, kDosRecordAttributesValid | kDosRecordCreationTimeValid, 4);
  put(4, attributes, 4);
  put(creationAt, kFeb2001, 8);
  return b;
}

class SambaShareTest : public ::testing::Test {
 protected:
  void SetUp() override {
    server_ = std::make_unique<tovtest::SambaServer>(shareOptions());
    if (!server_->available()) {
      std::fprintf(stderr, "NO FILE SERVER: %s\n", server_->reason().c_str());
      GTEST_SKIP() << "no file server to test against: " << server_->reason();
    }
  }

  std::filesystem::path at(const std::string& name) const { return server_->share() / name; }

  // smbclient's output; a failing command fails the test with its words.
  std::string client(const std::string& commands) const {
    const tovtest::ProgramRun run = server_->client(commands);
    EXPECT_EQ(run.status, 0) << commands << "\n" << run.output;
    return run.output;
  }

  // The attributes a client of the share sees ("attributes: RHS (7)").
  std::uint32_t seenThere(const std::string& name) const {
    const std::string out = client("allinfo \"" + name + "\"");
    const std::size_t line = out.find("attributes: ");
    const std::size_t open = out.find('(', line);
    if (line == std::string::npos || open == std::string::npos) {
      ADD_FAILURE() << "no attributes for " << name << " in:\n" << out;
      return kInvalidFileAttributes;
    }
    return static_cast<std::uint32_t>(std::stoul(out.substr(open + 1), nullptr, 16));
  }

  // The streams a client sees besides the data ("stream: [:name:$DATA],
  // 26 bytes"), as "name:$DATA, 26 bytes".
  std::vector<std::string> streamsThere(const std::string& name) const {
    const std::string out = client("allinfo \"" + name + "\"");
    std::vector<std::string> streams;
    for (std::size_t at = out.find("stream: [:"); at != std::string::npos; at = out.find("stream: [:", at + 1)) {
      const std::size_t close = out.find("], ", at);
      const std::size_t end = out.find('\n', at);
      if (close == std::string::npos || close > end) continue;
      const std::string stream = out.substr(at + 10, close - at - 10);
      if (stream != ":$DATA") streams.push_back(stream + ", " + out.substr(close + 3, end - close - 3));
    }
    return streams;
  }

  // The same from this library's stream listing; an EA list in it (there
  // should be none: the record and the streams are not EAs) is listed too.
  std::vector<std::string> streamsHere(const std::string& name) const {
    ferrule::tovFileStreams listing;
    EXPECT_TRUE(listing.ReadFileStreams(u16(at(name)), false)) << name;
    std::vector<std::string> streams;
    for (const ferrule::FileStream& stream : listing.Items()) {
      const std::string size = std::to_string(static_cast<long long>(stream.Size())) + " bytes";
      if (stream.StreamIDAlternateData()) streams.push_back(toUtf8(stream.Name()).substr(1) + ", " + size);
      if (stream.StreamIDEAData()) streams.push_back("EA list, " + size);
    }
    return streams;
  }

  std::uint32_t seenHere(const std::string& name) const { return GetFileAttributesW(u16(at(name))); }

  std::vector<std::uint8_t> record(const std::string& name) const {
    std::vector<std::uint8_t> value(4096);
    const ssize_t n = getxattr(at(name).c_str(), "user.DOSATTRIB", value.data(), value.size());
    value.resize(n < 0 ? 0 : static_cast<std::size_t>(n));
    return value;
  }

  virtual std::string shareOptions() const { return {}; }

  std::unique_ptr<tovtest::SambaServer> server_;
  ferrule::tovFSO fso_;
};

}  // namespace

TEST_F(SambaShareTest, AttributesAClientSetsReadHere) {
  writeBytes(at("a.txt"), "data");
  std::filesystem::create_directory(at("dir"));
  client("setmode a.txt +h; setmode dir +h");
  // A file nobody marked is not archived in the server's eyes: its record
  // now says hidden alone, and that is what reads here.
  EXPECT_EQ(seenHere("a.txt"), kFileAttributeHidden);
  EXPECT_EQ(seenHere("dir"), kFileAttributeHidden | kFileAttributeDirectory);
  const auto stored = parseDosAttributeRecord(record("a.txt"));
  ASSERT_TRUE(stored);
  EXPECT_TRUE(stored->binary) << "the server writes its own record";

  // Read-only from a client: the server leaves the write bits alone, the
  // mark holds here all the same.
  client("setmode a.txt +rs");
  EXPECT_EQ(seenHere("a.txt"), seenThere("a.txt"));
  EXPECT_EQ(seenHere("a.txt"), kFileAttributeReadOnly | kFileAttributeHidden | kFileAttributeSystem);
  struct stat st {};
  ASSERT_EQ(stat(at("a.txt").c_str(), &st), 0);
  EXPECT_NE(st.st_mode & 0200, 0u);
  EXPECT_FALSE(fso_.PutFile(u16(at("a.txt")), u"replaced"));
  EXPECT_FALSE(DeleteFileW(u16(at("a.txt"))));
  EXPECT_EQ(readBytes(at("a.txt")), "data");
  client("setmode a.txt -r");
  EXPECT_EQ(seenHere("a.txt") & kFileAttributeReadOnly, 0u);
  EXPECT_TRUE(DeleteFileW(u16(at("a.txt"))));

  // Names beyond ASCII, with blanks, and dot-files (hidden on both sides
  // without any record).
  writeBytes(at("ün ï ✓.txt"), "data");
  writeBytes(at(".profile"), "data");
  client("setmode \"ün ï ✓.txt\" +s");
  EXPECT_EQ(seenHere("ün ï ✓.txt"), kFileAttributeSystem);
  EXPECT_EQ(seenHere("ün ï ✓.txt"), seenThere("ün ï ✓.txt"));
  EXPECT_EQ(seenThere(".profile") & kFileAttributeHidden, kFileAttributeHidden);
  EXPECT_EQ(seenHere(".profile") & kFileAttributeHidden, kFileAttributeHidden);
}

TEST_F(SambaShareTest, AttributesSetHereShowThere) {
  writeBytes(at("fresh.txt"), "data");
  std::filesystem::create_directory(at("dir"));
  ASSERT_TRUE(SetFileAttributesW(u16(at("fresh.txt")), kFileAttributeHidden | kFileAttributeSystem));
  ASSERT_TRUE(SetFileAttributesW(u16(at("dir")), kFileAttributeHidden));
  EXPECT_EQ(seenThere("fresh.txt"), kFileAttributeHidden | kFileAttributeSystem);
  EXPECT_EQ(seenThere("dir"), kFileAttributeHidden | kFileAttributeDirectory);

  // Read-only set here shows there too, and the server then refuses to
  // write the file for its clients.
  ASSERT_TRUE(SetFileAttributesW(u16(at("fresh.txt")), kFileAttributeReadOnly | kFileAttributeArchive));
  EXPECT_EQ(seenThere("fresh.txt"), kFileAttributeReadOnly | kFileAttributeArchive);
  writeBytes(server_->local("upload"), "other");
  EXPECT_NE(server_->client("put upload fresh.txt").status, 0);
  EXPECT_EQ(readBytes(at("fresh.txt")), "data");
  ASSERT_TRUE(SetFileAttributesW(u16(at("fresh.txt")), kFileAttributeArchive));
  EXPECT_EQ(seenThere("fresh.txt"), kFileAttributeArchive);
  client("put upload fresh.txt");
  EXPECT_EQ(readBytes(at("fresh.txt")), "other");
}

TEST_F(SambaShareTest, ACreationTimeAClientSetSurvivesAChangeHere) {
  writeBytes(at("dated.txt"), "data");
  client("utimes dated.txt 2001:02:03-04:05:06 -1 -1 -1");
  const auto before = parseDosAttributeRecord(record("dated.txt"));
  ASSERT_TRUE(before);
  ASSERT_NE(before->creationTime, 0u);
  ASSERT_TRUE(SetFileAttributesW(u16(at("dated.txt")), kFileAttributeHidden | kFileAttributeArchive));
  const auto after = parseDosAttributeRecord(record("dated.txt"));
  ASSERT_TRUE(after);
  EXPECT_EQ(after->version, before->version);
  EXPECT_EQ(after->creationTime, before->creationTime);
  const std::string info = client("allinfo dated.txt");
  EXPECT_NE(info.find("create_time:    Sat Feb  3 04:05:06 2001"), std::string::npos) << info;
  EXPECT_EQ(seenThere("dated.txt"), kFileAttributeHidden | kFileAttributeArchive);

  // A listing here gives the creation time the client set, as the server does.
  FindData found;
  FindHandle listing = FindFirstFileW(u16(at("dated.txt")), found);
  ASSERT_TRUE(listing.valid());
  FindClose(listing);
  EXPECT_EQ(found.creationTime, before->creationTime);
  EXPECT_EQ(found.fileAttributes, kFileAttributeHidden | kFileAttributeArchive);
}

TEST_F(SambaShareTest, EveryRecordFormReadsTheSameHereAndThere) {
  // The hex text as the compatibility layer for Windows programs writes
  // it, with and without NUL, and records of the older versions: the
  // server and this library must agree on each.
  const std::vector<std::pair<std::string, std::vector<std::uint8_t>>> forms = {
      {"text.txt", {'0', 'x', '2', '2'}},
      {"textnul.txt", {'0', 'x', '2', '7', 0}},
      {"v3.txt", binaryRecord("0x26", 3, 0x26, 28, 44)},
      {"v4.txt", binaryRecord("", 4, 0x03, 16, 24)},
  };
  for (const auto& [name, value] : forms) {
    writeBytes(at(name), "data");
    ASSERT_EQ(setxattr(at(name).c_str(), "user.DOSATTRIB", value.data(), value.size(), 0), 0);
    EXPECT_EQ(seenHere(name), seenThere(name)) << name;
  }
  EXPECT_EQ(seenHere("v4.txt"), kFileAttributeReadOnly | kFileAttributeHidden);
  // The older records' creation time is the server's too.
  EXPECT_NE(client("allinfo v3.txt").find("create_time:    Sat Feb  3 04:05:06 2001"), std::string::npos);

  // Changed here, each still reads alike on both sides.
  for (const auto& [name, value] : forms) {
    ASSERT_TRUE(SetFileAttributesW(u16(at(name)), kFileAttributeSystem | kFileAttributeArchive)) << name;
    EXPECT_EQ(seenThere(name), kFileAttributeSystem | kFileAttributeArchive) << name;
  }
  EXPECT_NE(client("allinfo v3.txt").find("create_time:    Sat Feb  3 04:05:06 2001"), std::string::npos);
}

TEST_F(SambaShareTest, ZoneMarksGoBothWays) {
  writeBytes(at("setup.exe"), "program");
  ASSERT_TRUE(fso_.SetFileZone(u16(at("setup.exe")), 3));
  EXPECT_EQ(streamsThere("setup.exe"), std::vector<std::string>{"Zone.Identifier:$DATA, 26 bytes"});
  client("get setup.exe:Zone.Identifier mark");
  EXPECT_EQ(readBytes(server_->local("mark")), kZoneMark);

  writeBytes(at("other.exe"), "program");
  writeBytes(server_->local("mark4"), "[ZoneTransfer]\r\nZoneId=4\r\n");
  client("put mark4 other.exe:Zone.Identifier");
  EXPECT_EQ(streamsHere("other.exe"), std::vector<std::string>{"Zone.Identifier:$DATA, 26 bytes"});
  EXPECT_EQ(fso_.GetFileZone(u16(at("other.exe"))), 4);
  EXPECT_TRUE(fso_.IsFileZoneDefined(u16(at("other.exe"))));
  ASSERT_TRUE(fso_.DeleteFileZone(u16(at("other.exe"))));
  client("get other.exe:Zone.Identifier mark-after");
  EXPECT_EQ(readBytes(server_->local("mark-after")), "[ZoneTransfer]\r\n");
  EXPECT_EQ(readBytes(at("other.exe")), "program");
}

TEST_F(SambaShareTest, StreamsOfAnyNameGoBothWays) {
  writeBytes(at("s.txt"), "data");
  const std::string nulEnded("abc\0", 4);
  writeBytes(server_->local("nul-ended"), nulEnded);
  writeBytes(server_->local("empty"), "");
  writeBytes(server_->local("plain"), "plain text");
  client("put nul-ended s.txt:ström; put empty \"s.txt:with space:$DATA\"; put plain s.txt:日本語");

  tov::ByteVector bytes;
  ASSERT_EQ(readStream(StreamPath{at("s.txt").string(), "STRÖM"}, bytes), 0) << "names compare without case";
  EXPECT_EQ(std::string(bytes.begin(), bytes.end()), nulEnded) << "a NUL the stream ends with is its own";
  ASSERT_EQ(readStream(StreamPath{at("s.txt").string(), "with space"}, bytes), 0);
  EXPECT_TRUE(bytes.empty());
  ASSERT_EQ(readStream(StreamPath{at("s.txt").string(), "日本語"}, bytes), 0);
  EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "plain text");

  // Written here, read there byte for byte, the closing NUL included.
  const std::string tail("tail\0\0", 6);
  ASSERT_EQ(writeStream(StreamPath{at("s.txt").string(), "Ünïcode ✓"},
                        std::span(reinterpret_cast<const std::uint8_t*>(tail.data()), tail.size()), StreamWrite::Replace),
            0);
  std::vector<std::string> expected = {"with space:$DATA, 0 bytes", "Ünïcode ✓:$DATA, 6 bytes", "ström:$DATA, 4 bytes",
                                       "日本語:$DATA, 10 bytes"};
  std::vector<std::string> seen = streamsThere("s.txt");
  std::vector<std::string> listed = streamsHere("s.txt");
  std::sort(seen.begin(), seen.end());
  std::sort(listed.begin(), listed.end());
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(seen, expected);
  EXPECT_EQ(listed, expected) << "the listing here shows what the share's clients see";
  client("get \"s.txt:Ünïcode ✓\" back");
  EXPECT_EQ(readBytes(server_->local("back")), tail);

  // The longest name an attribute can carry works on both sides; one
  // byte more fails on both.
  const std::string longest(255 - std::string("user.DosStream.:$DATA").size(), 'n');
  EXPECT_EQ(server_->client("put plain s.txt:" + longest).status, 0);
  ASSERT_EQ(readStream(StreamPath{at("s.txt").string(), longest}, bytes), 0);
  EXPECT_NE(server_->client("put plain s.txt:" + longest + "n").status, 0);
  StreamPath tooLong;
  EXPECT_EQ(resolveStreamPath(at("s.txt").string() + ":" + longest + "n", tooLong), ENAMETOOLONG);
  EXPECT_EQ(readBytes(at("s.txt")), "data");
}

// A share set to store stream names without their type.
class SambaUntypedStreamsTest : public SambaShareTest {
 protected:
  std::string shareOptions() const override { return "  streams_xattr:store_stream_type = no\n"; }
};

TEST_F(SambaUntypedStreamsTest, StreamsStoredWithoutTypeGoBothWays) {
  writeBytes(at("u.txt"), "data");
  writeBytes(server_->local("plain"), "plain text");
  client("put plain u.txt:Notes");
  ASSERT_EQ(getxattr(at("u.txt").c_str(), "user.DosStream.Notes", nullptr, 0), 11) << "stored without its type";
  tov::ByteVector bytes;
  ASSERT_EQ(readStream(StreamPath{at("u.txt").string(), "notes"}, bytes), 0);
  EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "plain text");
  EXPECT_EQ(streamsHere("u.txt"), std::vector<std::string>{"Notes:$DATA, 10 bytes"});

  // Changed here, it stays where the server looks for it.
  const std::string more = " and more";
  ASSERT_EQ(writeStream(StreamPath{at("u.txt").string(), "NOTES"},
                        std::span(reinterpret_cast<const std::uint8_t*>(more.data()), more.size()), StreamWrite::Append),
            0);
  client("get u.txt:Notes back");
  EXPECT_EQ(readBytes(server_->local("back")), "plain text and more");
  EXPECT_EQ(streamsThere("u.txt"), std::vector<std::string>{"Notes:$DATA, 19 bytes"});
}
