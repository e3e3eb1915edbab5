// The security record's descriptor, read back as a Windows program reads
// one: SIDs, control bits, ACEs and their rights, for mode bits, access ACLs
// and a directory's default ACL set on real files.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "TempDir.h"
#include "platform/BackupStream.h"
#include "platform/FileHandle.h"
#include "platform/SecurityDescriptor.h"

namespace tov::platform {
namespace {

using tovtest::u16;
using tovtest::writeBytes;

constexpr std::uint32_t kRead = 0x120089;
constexpr std::uint32_t kWrite = 0x120116;
constexpr std::uint32_t kExecute = 0x1200A0;
constexpr std::uint32_t kDeleteChild = 0x40;
constexpr std::uint32_t kOwnerExtras = 0x00020000 | 0x00040000 | 0x80 | 0x100 | 0x00100000;

std::uint32_t get32(const ByteVector& b, std::size_t at) {
  return b.at(at) | b.at(at + 1) << 8 | b.at(at + 2) << 16 | std::uint32_t{b.at(at + 3)} << 24;
}
std::uint16_t get16(const ByteVector& b, std::size_t at) { return static_cast<std::uint16_t>(b.at(at) | b.at(at + 1) << 8); }

std::string sidAt(const ByteVector& b, std::size_t at, std::size_t* size = nullptr) {
  EXPECT_EQ(b.at(at), 1) << "SID revision";
  const int count = b.at(at + 1);
  std::uint64_t authority = 0;
  for (int i = 0; i < 6; ++i) authority = authority << 8 | b.at(at + 2 + i);
  std::string text = "S-1-" + std::to_string(authority);
  for (int i = 0; i < count; ++i) text += "-" + std::to_string(get32(b, at + 8 + 4 * i));
  if (size) *size = 8 + 4 * count;
  return text;
}

struct Ace {
  std::uint8_t flags;
  std::uint32_t mask;
  std::string sid;
  bool operator==(const Ace&) const = default;
};

void PrintTo(const Ace& a, std::ostream* os) { *os << a.sid << " flags " << int(a.flags) << " mask " << std::hex << a.mask; }

struct Descriptor {
  std::uint16_t control = 0;
  std::string owner, group;
  std::vector<Ace> aces;
};

Descriptor parse(const ByteVector& b) {
  Descriptor d;
  EXPECT_EQ(b.at(0), 1) << "revision";
  d.control = get16(b, 2);
  d.owner = sidAt(b, get32(b, 4));
  d.group = sidAt(b, get32(b, 8));
  EXPECT_EQ(get32(b, 12), 0u) << "no SACL";
  const std::size_t dacl = get32(b, 16);
  EXPECT_EQ(b.at(dacl), 2) << "ACL revision";
  const std::size_t aclSize = get16(b, dacl + 2);
  EXPECT_EQ(dacl + aclSize, b.size()) << "the DACL ends the descriptor";
  const int count = get16(b, dacl + 4);
  std::size_t at = dacl + 8;
  for (int i = 0; i < count; ++i) {
    EXPECT_EQ(b.at(at), 0) << "access allowed";
    const std::uint16_t aceSize = get16(b, at + 2);
    std::size_t sidSize = 0;
    d.aces.push_back({b.at(at + 1), get32(b, at + 4), sidAt(b, at + 8, &sidSize)});
    EXPECT_EQ(aceSize, 8 + sidSize);
    at += aceSize;
  }
  EXPECT_EQ(at, dacl + aclSize);
  return d;
}

std::string user(uid_t id) { return "S-1-22-1-" + std::to_string(id); }
std::string group(gid_t id) { return "S-1-22-2-" + std::to_string(id); }

// A POSIX ACL attribute value as the kernel takes it (version 2, then tag,
// permissions and id per entry).
std::string aclValue(const std::vector<PosixAclEntry>& entries) {
  std::string v;
  auto put = [&](std::uint32_t x, int bytes) {
    for (int i = 0; i < bytes; ++i) v.push_back(static_cast<char>(x >> (8 * i)));
  };
  put(2, 4);
  for (const auto& e : entries) {
    put(e.tag, 2);
    put(e.perm, 2);
    put(e.id, 4);
  }
  return v;
}

ByteVector descriptorOf(const std::filesystem::path& p) {
  FileHandle h = FileHandle::open(u16(p), kGenericRead, kFileShareRead, CreateDisposition::OpenExisting,
                                  kFileFlagBackupSemantics);
  EXPECT_TRUE(h.valid());
  struct stat st {};
  ::fstat(h.fd(), &st);
  return selfRelativeSecurityDescriptor(fileSecurity(h.fd(), st));
}

class SecurityDescriptorTest : public ::testing::Test {
 protected:
  tovtest::TempDir dir_{"security"};
  std::filesystem::path file_ = dir_ / "f";
};

TEST_F(SecurityDescriptorTest, ModeBitsAreOwnerGroupAndEveryone) {
  writeBytes(file_, "x");
  ASSERT_EQ(::chmod(file_.c_str(), 0640), 0);
  const Descriptor d = parse(descriptorOf(file_));
  EXPECT_EQ(d.control, 0x8000 | 0x1000 | 0x0004);
  EXPECT_EQ(d.owner, user(geteuid()));
  EXPECT_EQ(d.group, group(getegid()));
  EXPECT_EQ(d.aces, (std::vector<Ace>{{0, kRead | kWrite | kOwnerExtras, user(geteuid())},
                                      {0, kRead, group(getegid())},
                                      {0, 0, "S-1-1-0"}}));

  ASSERT_EQ(::chmod(file_.c_str(), 0005), 0);
  EXPECT_EQ(parse(descriptorOf(file_)).aces,
            (std::vector<Ace>{{0, kOwnerExtras, user(geteuid())}, {0, 0, group(getegid())},
                              {0, kRead | kExecute, "S-1-1-0"}}))
      << "an owner without rights can still change them";
}

TEST_F(SecurityDescriptorTest, AnAccessAclNamesEveryEntryWithTheMaskApplied) {
  writeBytes(file_, "x");
  const std::string acl = aclValue({{PosixAclEntry::UserObj, 6, 0xFFFFFFFF},
                                    {PosixAclEntry::User, 7, 1234},
                                    {PosixAclEntry::GroupObj, 4, 0xFFFFFFFF},
                                    {PosixAclEntry::Group, 6, 4321},
                                    {PosixAclEntry::Mask, 5, 0xFFFFFFFF},
                                    {PosixAclEntry::Other, 0, 0xFFFFFFFF}});
  ASSERT_EQ(::setxattr(file_.c_str(), "system.posix_acl_access", acl.data(), acl.size(), 0), 0);
  const Descriptor d = parse(descriptorOf(file_));
  EXPECT_EQ(d.aces, (std::vector<Ace>{{0, kRead | kWrite | kOwnerExtras, user(geteuid())},
                                      {0, kRead | kExecute, user(1234)},
                                      {0, kRead, group(getegid())},
                                      {0, kRead, group(4321)},
                                      {0, 0, "S-1-1-0"}}));
}

TEST_F(SecurityDescriptorTest, ADirectoryDefaultAclBecomesInheritOnlyAces) {
  const auto folder = dir_ / "d";
  std::filesystem::create_directory(folder);
  ASSERT_EQ(::chmod(folder.c_str(), 0750), 0);
  const std::string defaults = aclValue({{PosixAclEntry::UserObj, 7, 0xFFFFFFFF},
                                         {PosixAclEntry::User, 4, 99},
                                         {PosixAclEntry::GroupObj, 5, 0xFFFFFFFF},
                                         {PosixAclEntry::Mask, 7, 0xFFFFFFFF},
                                         {PosixAclEntry::Other, 0, 0xFFFFFFFF}});
  ASSERT_EQ(::setxattr(folder.c_str(), "system.posix_acl_default", defaults.data(), defaults.size(), 0), 0);
  const Descriptor d = parse(descriptorOf(folder));
  const std::uint32_t all = kRead | kWrite | kExecute | kDeleteChild;
  EXPECT_EQ(d.aces, (std::vector<Ace>{{0, all | kOwnerExtras, user(geteuid())},
                                      {0, kRead | kExecute, group(getegid())},
                                      {0, 0, "S-1-1-0"},
                                      {0x0B, all, "S-1-3-0"},
                                      {0x0B, kRead, user(99)},
                                      {0x0B, kRead | kExecute, "S-1-3-1"},
                                      {0x0B, 0, "S-1-1-0"}}));
}

TEST(SecurityDescriptor, MalformedAclValuesAreRefused) {
  std::vector<PosixAclEntry> out;
  const std::uint8_t wrongVersion[] = {1, 0, 0, 0};
  const std::uint8_t cutShort[] = {2, 0, 0, 0, 1, 0, 6, 0, 0xFF};
  EXPECT_FALSE(parsePosixAcl(wrongVersion, out));
  EXPECT_FALSE(parsePosixAcl(cutShort, out));
  EXPECT_FALSE(parsePosixAcl({}, out));
  EXPECT_TRUE(out.empty());
}

TEST(SecurityDescriptor, AnAclTooLargeForTheNtSizeGivesNoDescriptor) {
  FileSecurity s;
  s.access.assign(2800, {PosixAclEntry::User, 7, 5});  // 2800 ACEs of 24 bytes
  EXPECT_TRUE(selfRelativeSecurityDescriptor(s).empty());
  s.access.resize(2700);
  EXPECT_EQ(parse(selfRelativeSecurityDescriptor(s)).aces.size(), 2700u);
}

TEST_F(SecurityDescriptorTest, TheSecurityRecordComesOnlyWhenAskedFor) {
  writeBytes(file_, "x");
  setxattr(file_.c_str(), "user.DosStream.s:$DATA", "1", 2, 0);
  FileHandle h = FileHandle::open(u16(file_), kGenericRead, kFileShareRead, CreateDisposition::OpenExisting,
                                  kFileFlagBackupSemantics);
  auto ids = [&](bool security) {
    std::vector<std::pair<std::uint32_t, std::uint32_t>> out;
    BackupContext* c = nullptr;
    std::uint8_t header[kStreamIdHeaderSize];
    std::uint32_t got = 0, lo = 0, hi = 0;
    while (BackupRead(h, header, sizeof header, &got, false, security, &c) && got == sizeof header) {
      std::vector<std::uint8_t> name(header[16] | header[17] << 8);
      BackupRead(h, name.data(), static_cast<std::uint32_t>(name.size()), &got, false, security, &c);
      out.push_back({header[0], header[4]});
      BackupSeek(h, header[8] | header[9] << 8, 0, &lo, &hi, &c);
    }
    BackupRead(h, nullptr, 0, &got, true, false, &c);
    return out;
  };
  using P = std::vector<std::pair<std::uint32_t, std::uint32_t>>;
  EXPECT_EQ(ids(false), (P{{kBackupData, 0}, {kBackupAlternateData, 0}}));
  EXPECT_EQ(ids(true), (P{{kBackupData, 0}, {kBackupSecurityData, kStreamContainsSecurity}, {kBackupAlternateData, 0}}));
}

}  // namespace
}  // namespace tov::platform
