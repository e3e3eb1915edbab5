// Files another local user could change are not trusted: owner, write bits
// of the file and of every directory above it, links followed.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "TempDir.h"
#include "platform/TrustedPath.h"

namespace tovtest {
namespace {

using tov::platform::whyUntrusted;
namespace fs = std::filesystem;

class TrustedPath : public ::testing::Test {
 protected:
  TempDir dir{"trust"};
  fs::path file = dir / "registry.ini";
  void SetUp() override { writeBytes(file, "x"); }
};

TEST_F(TrustedPath, OwnFilesInOwnDirectoriesPassAndMissingOnesToo) {
  EXPECT_EQ(whyUntrusted(file.string()), "");
  EXPECT_EQ(whyUntrusted((dir / "not-yet" / "registry.ini").string()), "");
  // The shared temporary directory is writable by all but sticky.
  EXPECT_EQ(whyUntrusted("/tmp"), "");
}

TEST_F(TrustedPath, WritableByOthersIsRefusedNamingTheEntryAtFault) {
  chmod(file.c_str(), 0666);
  EXPECT_EQ(whyUntrusted(file.string()), file.string() + " is writable by other users");
  chmod(file.c_str(), 0644);

  const fs::path open = dir / "open";
  fs::create_directory(open);
  chmod(open.c_str(), 0777);
  writeBytes(open / "lib.so", "x");
  EXPECT_EQ(whyUntrusted((open / "lib.so").string()), open.string() + " is writable by other users");
  // Not there yet, but anybody could put it there.
  EXPECT_EQ(whyUntrusted((open / "later.ini").string()), open.string() + " is writable by other users");
  chmod(open.c_str(), 01777);
  EXPECT_EQ(whyUntrusted((open / "lib.so").string()), "");
}

TEST_F(TrustedPath, LinksAreFollowedToWhereTheFileLives) {
  const fs::path open = dir / "open";
  fs::create_directory(open);
  chmod(open.c_str(), 0777);
  writeBytes(open / "real.ini", "x");
  const fs::path link = dir / "link.ini";
  fs::create_symlink(open / "real.ini", link);
  EXPECT_EQ(whyUntrusted(link.string()), open.string() + " is writable by other users");
  // Relative names are taken from the working directory.
  const fs::path cwd = fs::current_path();
  fs::current_path(dir.path());
  EXPECT_EQ(whyUntrusted("link.ini"), open.string() + " is writable by other users");
  fs::current_path(cwd);
}

TEST_F(TrustedPath, AnotherOwnerOrASharedGroupIsRefused) {
  if (geteuid() != 0) GTEST_SKIP() << "needs root to give files away";
  ASSERT_EQ(chown(file.c_str(), 65534, static_cast<gid_t>(-1)), 0);
  EXPECT_EQ(whyUntrusted(file.string()), file.string() + " belongs to another user (uid 65534)");
  ASSERT_EQ(chown(file.c_str(), 0, 65534), 0);
  EXPECT_EQ(whyUntrusted(file.string()), "");  // the group may read only
  chmod(file.c_str(), 0664);
  // nogroup is the primary group of nobody.
  EXPECT_NE(whyUntrusted(file.string()).find(" is writable by group "), std::string::npos);
  ASSERT_EQ(chown(dir.path().c_str(), 65534, static_cast<gid_t>(-1)), 0);
  EXPECT_EQ(whyUntrusted((dir / "other.ini").string()),
            dir.path().string() + " belongs to another user (uid 65534)");
}

}  // namespace
}  // namespace tovtest
