// Zone marks in the stream "Zone.Identifier", kept as the extended
// attribute a Samba share shows Windows clients as that stream.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "TempDir.h"
#include "TestMount.h"
#include "fileio/tovFSO.h"
#include "platform/PrivateProfile.h"

using ferrule::tovFSO;
using namespace tovtest;

namespace {

constexpr char kZoneAttribute[] = "user.DosStream.Zone.Identifier:$DATA";

std::optional<std::string> zoneAttribute(const std::filesystem::path& p) {
  char value[4096];
  const ssize_t n = getxattr(p.c_str(), kZoneAttribute, value, sizeof value);
  if (n < 0) return std::nullopt;
  return std::string(value, static_cast<std::size_t>(n));
}

// The attribute's value as getfattr shows it to an administrator, in hex.
std::string getfattrHex(const std::filesystem::path& p) {
  const std::string command = "getfattr --only-values --absolute-names -n 'user.DosStream.Zone.Identifier:$DATA' '" +
                              p.string() + "' 2>/dev/null | od -An -v -tx1 | tr -d ' \\n'";
  std::unique_ptr<FILE, decltype(&pclose)> pipe(popen(command.c_str(), "r"), &pclose);
  std::string out;
  char buf[256];
  while (pipe && fgets(buf, sizeof buf, pipe.get())) out += buf;
  return out;
}

std::string hex(const std::string& bytes) {
  std::string out;
  char b[3];
  for (unsigned char c : bytes) {
    std::snprintf(b, sizeof b, "%02x", c);
    out += b;
  }
  return out;
}

class ZoneTest : public ::testing::Test {
 protected:
  void SetUp() override {
    writeBytes(file_, "the program");
    if (setxattr(file_.c_str(), "user.probe", "1", 1, 0) != 0) GTEST_SKIP() << "no user extended attributes here";
    removexattr(file_.c_str(), "user.probe");
    // The stream is reached through the file layer's "name:stream" rule.
    const std::filesystem::path probe = dir_ / "probe";
    writeBytes(probe, "");
    tov::platform::WritePrivateProfileStringW(u"S", u"k", u"1", u16(probe) + u":Zone.Identifier");
    if (!zoneAttribute(probe)) GTEST_SKIP() << "this file layer does not resolve \"file:stream\" names";
  }

  TempDir dir_{"zone"};
  std::filesystem::path file_ = dir_ / "setup.exe";
  std::u16string name_ = u16(file_);
  tovFSO fso_;
};

TEST_F(ZoneTest, SetGetTestAndDeleteAMark) {
  EXPECT_EQ(fso_.GetFileZone(name_), 0);
  EXPECT_FALSE(fso_.IsFileZoneDefined(name_));
  EXPECT_FALSE(fso_.DeleteFileZone(name_));

  ASSERT_TRUE(fso_.SetFileZone(name_, ferrule::fzInternet));
  EXPECT_EQ(getfattrHex(file_), hex(std::string("[ZoneTransfer]\r\nZoneId=3\r\n\0", 27)));
  EXPECT_EQ(fso_.GetFileZone(name_), 3);
  EXPECT_TRUE(fso_.IsFileZoneDefined(name_));
  EXPECT_EQ(readBytes(file_), "the program") << "the file's own data is not touched";

  // No range check, either way.
  for (std::int32_t zone : {7, -5, INT_MIN, INT_MAX}) {
    ASSERT_TRUE(fso_.SetFileZone(name_, zone));
    EXPECT_EQ(fso_.GetFileZone(name_), zone);
  }

  ASSERT_TRUE(fso_.DeleteFileZone(name_));
  EXPECT_FALSE(fso_.IsFileZoneDefined(name_));
  EXPECT_EQ(fso_.GetFileZone(name_), 0);
  EXPECT_FALSE(fso_.DeleteFileZone(name_));
  // Only the key went: the stream and its section line stay.
  EXPECT_EQ(zoneAttribute(file_), std::string("[ZoneTransfer]\r\n\0", 17));
}

TEST_F(ZoneTest, OtherContentOfTheStreamIsKept) {
  // A mark as a browser writes it, with the addresses it came from.
  const std::string mark =
      "[ZoneTransfer]\r\nZoneId=3\r\nReferrerUrl=https://example.org/\r\nHostUrl=https://example.org/setup.exe\r\n"
      "\r\n[Other]\r\nkey=value\r\n";
  ASSERT_EQ(setxattr(file_.c_str(), kZoneAttribute, (mark + '\0').data(), mark.size() + 1, 0), 0);
  EXPECT_EQ(fso_.GetFileZone(name_), 3);
  ASSERT_TRUE(fso_.SetFileZone(name_, ferrule::fzRestrictedSites));
  std::string expected = mark;
  expected.replace(expected.find("ZoneId=3"), 8, "ZoneId=4");
  EXPECT_EQ(zoneAttribute(file_), expected + '\0');
  ASSERT_TRUE(fso_.DeleteFileZone(name_));
  expected.erase(expected.find("ZoneId=4\r\n"), 10);
  EXPECT_EQ(zoneAttribute(file_), expected + '\0');
  EXPECT_EQ(fso_.GetFileZone(name_), 0);
}

TEST_F(ZoneTest, MissingFilesDirectoriesAndReadOnlyFiles) {
  const std::filesystem::path missing = dir_ / "missing.exe";
  EXPECT_EQ(fso_.GetFileZone(u16(missing)), 0);
  EXPECT_FALSE(fso_.SetFileZone(u16(missing), 3));
  EXPECT_FALSE(fso_.IsFileZoneDefined(u16(missing)));
  EXPECT_FALSE(fso_.DeleteFileZone(u16(missing)));
  EXPECT_FALSE(std::filesystem::exists(missing));
  for (const auto& entry : std::filesystem::directory_iterator(dir_.path())) {
    EXPECT_EQ(entry.path().filename().string().find(':'), std::string::npos) << "no stray file " << entry.path();
  }

  EXPECT_FALSE(fso_.SetFileZone(u16(dir_.path()), 3)) << "a directory is not a file";
  EXPECT_FALSE(fso_.IsFileZoneDefined(u16(dir_.path())));

  ASSERT_TRUE(fso_.SetFileZone(name_, 2));
  ASSERT_EQ(chmod(file_.c_str(), 0444), 0);
  EXPECT_FALSE(fso_.SetFileZone(name_, 3));
  EXPECT_FALSE(fso_.DeleteFileZone(name_));
  EXPECT_EQ(fso_.GetFileZone(name_), 2);
  EXPECT_TRUE(fso_.IsFileZoneDefined(name_));
  chmod(file_.c_str(), 0644);
}

TEST_F(ZoneTest, ABareNameIsTheFileInTheCurrentDirectory) {
  const std::filesystem::path old = std::filesystem::current_path();
  std::filesystem::current_path(dir_.path());
  const bool set = fso_.SetFileZone(u"setup.exe", 3);
  const std::int32_t zone = fso_.GetFileZone(u"setup.exe");
  std::filesystem::current_path(old);
  EXPECT_TRUE(set);
  EXPECT_EQ(zone, 3);
  EXPECT_EQ(fso_.GetFileZone(name_), 3);
  EXPECT_EQ(zoneAttribute(file_), std::string("[ZoneTransfer]\r\nZoneId=3\r\n\0", 27));
}

TEST_F(ZoneTest, FileSystemWithoutUserAttributesFailsCleanly) {
  TestMount ramfs("ramfs");
  if (!ramfs.ok()) GTEST_SKIP() << ramfs.reason();
  const std::filesystem::path f = ramfs / "setup.exe";
  writeBytes(f, "data");
  EXPECT_FALSE(fso_.SetFileZone(u16(f), 3));
  EXPECT_EQ(fso_.GetFileZone(u16(f)), 0);
  EXPECT_FALSE(fso_.IsFileZoneDefined(u16(f)));
  EXPECT_FALSE(fso_.DeleteFileZone(u16(f)));
  EXPECT_EQ(readBytes(f), "data");
  std::size_t entries = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(ramfs.point())) ++entries;
  EXPECT_EQ(entries, 1u) << "nothing written beside the file";
}

}  // namespace
