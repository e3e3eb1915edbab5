// Names as the whole-file members take them: a name reaches exactly the file
// (or stream) it names, or nothing at all.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/xattr.h>

#include <filesystem>
#include <functional>
#include <string>

#include "CodePageOverride.h"
#include "TempDir.h"
#include "fileio/tovFSO.h"
#include "support/ErrorRecord.h"

namespace {

using ferrule::tovFSO;
using tov::ByteArray;
using tov::RuntimeError;
using tovtest::readBytes;
using tovtest::u16;
using tovtest::writeBytes;
namespace fs = std::filesystem;

std::string bytesOf(const ByteArray& a) { return std::string(a.data(), a.data() + a.size()); }

class FileNamesTest : public ::testing::Test {
 protected:
  tovtest::TempDir dir_{"names"};
  tovFSO fso_;
  std::u16string base_ = u16(dir_.path()) + u"/";

  // The number an operation raises; 0 when it raises nothing.
  static std::int32_t raised(const std::function<void()>& call) {
    try {
      call();
    } catch (const RuntimeError& e) {
      return e.record().number;
    }
    return 0;
  }

  std::size_t entries() const {
    std::size_t n = 0;
    for ([[maybe_unused]] const auto& e : fs::directory_iterator(dir_.path())) ++n;
    return n;
  }

  // Every whole-file member on one name, raising; the numbers in slot order.
  std::vector<std::int32_t> everyMember(const std::u16string& name) {
    const ByteArray one{'x'};
    return {
        raised([&] { fso_.GetFileB(name, true); }),
        raised([&] { fso_.GetFile(name, true); }),
        raised([&] { fso_.GetFileW(name, true); }),
        raised([&] { fso_.PutFileB(name, one, true); }),
        raised([&] { fso_.PutFile(name, u"x", true); }),
        raised([&] { fso_.PutFileW(name, u"x", true); }),
        raised([&] { fso_.AppendFileB(name, one, true); }),
        raised([&] { fso_.AppendFile(name, u"x", true); }),
        raised([&] { fso_.AppendFileW(name, u"x", true); }),
        raised([&] { fso_.OverwriteFileB(name, one, true); }),
        raised([&] { fso_.OverwriteFile(name, u"x", true); }),
        raised([&] { fso_.OverwriteFileW(name, u"x", true); }),
    };
  }

  bool hasUserXattrs() {
    const fs::path probe = dir_ / ".probe";
    writeBytes(probe, "");
    const bool ok = setxattr(probe.c_str(), "user.probe", "1", 1, 0) == 0;
    fs::remove(probe);
    return ok;
  }

  std::string rawStream(const fs::path& file, const std::string& attribute) {
    char buf[256];
    const ssize_t n = getxattr(file.c_str(), attribute.c_str(), buf, sizeof buf);
    return n < 0 ? "<none>" : std::string(buf, static_cast<std::size_t>(n));
  }
};

const std::vector<std::int32_t> kAll52(12, 52);

TEST_F(FileNamesTest, EmbeddedNulIsBadFileNameEverywhere) {
  writeBytes(dir_ / "report.txt", "keep me");
  const std::u16string name = base_ + std::u16string(u"report.txt\0.new", 15);
  EXPECT_EQ(everyMember(name), kAll52);
  // Without RaiseErrors the members fail quietly; the overwrite's first step
  // always reports.
  EXPECT_FALSE(fso_.PutFile(name, u"x"));
  EXPECT_FALSE(fso_.AppendFile(name, u"x"));
  EXPECT_TRUE(fso_.GetFileB(name).empty());
  EXPECT_EQ(raised([&] { fso_.OverwriteFile(name, u"x"); }), 52);
  EXPECT_EQ(readBytes(dir_ / "report.txt"), "keep me");
  EXPECT_EQ(entries(), 1u);
}

TEST_F(FileNamesTest, NamesThatAreNotUtf8ReachTheirOwnFile) {
  // The file a lossy conversion would reach instead sits beside it.
  writeBytes(dir_ / "log-\xFF\xFE.xml", "mine");
  writeBytes(dir_ / "log-\xEF\xBF\xBD\xEF\xBF\xBD.xml", "someone else's");
  const std::u16string name = base_ + u"log-\xDCFF\xDCFE.xml";
  EXPECT_EQ(fso_.GetFile(name, true), u"mine");
  ASSERT_TRUE(fso_.PutFile(name, u"new", true));
  ASSERT_TRUE(fso_.AppendFile(name, u"+", true));
  EXPECT_EQ(readBytes(dir_ / "log-\xFF\xFE.xml"), "new+");
  ASSERT_TRUE(fso_.OverwriteFile(name, u"over", true));
  EXPECT_EQ(readBytes(dir_ / "log-\xFF\xFE.xml"), "over");
  EXPECT_EQ(readBytes(dir_ / "log-\xEF\xBF\xBD\xEF\xBF\xBD.xml"), "someone else's");

  // A surrogate that stands for no byte names no file at all.
  EXPECT_EQ(everyMember(base_ + u"log-\xD800.xml"), kAll52);
  EXPECT_EQ(entries(), 2u);
}

TEST_F(FileNamesTest, NamesNeverPassThroughTheAnsiCodePage) {
  tovtest::CodePageOverride westernPages("1252", "850");
  const std::u16string name = base_ + u"Ελληνικά.pdf";
  ASSERT_TRUE(fso_.PutFile(name, u"abc", true));
  EXPECT_EQ(readBytes(dir_ / "Ελληνικά.pdf"), "abc");
  ASSERT_TRUE(fso_.AppendFileB(name, ByteArray{'d'}, true));
  ASSERT_TRUE(fso_.OverwriteFile(name, u"xyz", true));
  EXPECT_EQ(fso_.GetFile(name, true), u"xyz");
  ASSERT_TRUE(fso_.PutFileW(base_ + u"Ελληνικά.txt", u"Ω", true));
  EXPECT_EQ(fso_.GetFileW(base_ + u"Ελληνικά.txt", true), u"Ω");
  EXPECT_EQ(entries(), 2u);
}

TEST_F(FileNamesTest, ColonNamesReachTheFilesStream) {
  if (!hasUserXattrs()) GTEST_SKIP() << "no user extended attributes on this file system";
  const fs::path file = dir_ / "p";
  writeBytes(file, "main data");
  const std::string zone = "[ZoneTransfer]\r\nZoneId=3\r\n";
  ASSERT_EQ(setxattr(file.c_str(), "user.DosStream.Zone.Identifier:$DATA", (zone + '\0').data(), zone.size() + 1, 0), 0);

  EXPECT_EQ(bytesOf(fso_.GetFileB(base_ + u"p:Zone.Identifier", true)), zone);
  EXPECT_EQ(bytesOf(fso_.GetFileB(base_ + u"p:zone.IDENTIFIER:$data", true)), zone);  // names ignore case
  EXPECT_EQ(bytesOf(fso_.GetFileB(base_ + u"p::$DATA", true)), "main data");
  EXPECT_EQ(raised([&] { fso_.GetFileB(base_ + u"p:missing", true); }), 53);

  ASSERT_TRUE(fso_.PutFile(base_ + u"p:Zone.Identifier", u"[ZoneTransfer]\r\nZoneId=4\r\n", true));
  EXPECT_EQ(rawStream(file, "user.DosStream.Zone.Identifier:$DATA"), std::string("[ZoneTransfer]\r\nZoneId=4\r\n\0", 27));
  ASSERT_TRUE(fso_.AppendFile(base_ + u"p:notes", u"a", true));
  ASSERT_TRUE(fso_.AppendFile(base_ + u"p:Notes", u"b", true));
  EXPECT_EQ(rawStream(file, "user.DosStream.notes:$DATA"), std::string("ab\0", 3));
  ASSERT_TRUE(fso_.AppendFileW(base_ + u"p:wide", u"A", true));
  ASSERT_TRUE(fso_.AppendFileW(base_ + u"p:wide", u"B", true));
  EXPECT_EQ(bytesOf(fso_.GetFileB(base_ + u"p:wide")), std::string("\xFF\xFE\x41\x00\x42\x00", 6));

  EXPECT_EQ(raised([&] { fso_.OverwriteFile(base_ + u"p:absent", u"x", false); }), 57);
  ASSERT_TRUE(fso_.OverwriteFile(base_ + u"p:notes", u"z", true));
  EXPECT_EQ(rawStream(file, "user.DosStream.notes:$DATA"), std::string("z\0", 2));

  // The file itself is untouched and no file of the whole name appeared.
  EXPECT_EQ(readBytes(file), "main data");
  EXPECT_EQ(entries(), 1u);
}

TEST_F(FileNamesTest, AFileWhoseNameHoldsAColonIsThatFile) {
  writeBytes(dir_ / "12:30 notes.txt", "meeting");
  writeBytes(dir_ / "12", "other");
  EXPECT_EQ(fso_.GetFile(base_ + u"12:30 notes.txt", true), u"meeting");
  ASSERT_TRUE(fso_.PutFile(base_ + u"12:30 notes.txt", u"moved", true));
  ASSERT_TRUE(fso_.AppendFile(base_ + u"12:30 notes.txt", u"!", true));
  EXPECT_EQ(readBytes(dir_ / "12:30 notes.txt"), "moved!");
  EXPECT_EQ(readBytes(dir_ / "12"), "other");
  // A colon in a folder's name is just a character.
  fs::create_directory(dir_ / "a:b");
  ASSERT_TRUE(fso_.PutFile(base_ + u"a:b/c.txt", u"in folder", true));
  EXPECT_EQ(readBytes(dir_ / "a:b" / "c.txt"), "in folder");
}

TEST_F(FileNamesTest, ColonsThatNameNoStreamAreBadFileNames) {
  writeBytes(dir_ / "p", "data");
  for (const std::u16string name : {u"p:", u":s", u"p:a:b", u"p:s:$INDEX_ALLOCATION"}) {
    SCOPED_TRACE(std::string(name.begin(), name.end()));
    EXPECT_EQ(everyMember(base_ + name), kAll52);
  }
  EXPECT_EQ(everyMember(base_ + u"p:" + std::u16string(240, u's')), kAll52);  // longer than an attribute name
  EXPECT_EQ(readBytes(dir_ / "p"), "data");
  EXPECT_EQ(entries(), 1u);
}

TEST_F(FileNamesTest, StreamsNeverCreateOrChangeWhatTheyMayNot) {
  if (!hasUserXattrs()) GTEST_SKIP() << "no user extended attributes on this file system";
  // A stream of a missing file does not bring the file into being.
  EXPECT_EQ(raised([&] { fso_.PutFile(base_ + u"missing:s", u"x", true); }), 53);
  EXPECT_FALSE(fso_.AppendFile(base_ + u"missing:s", u"x"));
  EXPECT_EQ(entries(), 0u);
  // A read-only file keeps its streams, for every user.
  const fs::path locked = dir_ / "locked";
  writeBytes(locked, "ro");
  ASSERT_EQ(chmod(locked.c_str(), 0444), 0);
  EXPECT_EQ(raised([&] { fso_.PutFile(base_ + u"locked:s", u"x", true); }), 75);
  EXPECT_EQ(raised([&] { fso_.OverwriteFile(base_ + u"locked:s", u"x", true); }), 57);
  EXPECT_EQ(rawStream(locked, "user.DosStream.s:$DATA"), "<none>");
}

}  // namespace
