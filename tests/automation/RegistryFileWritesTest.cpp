// The registry file is replaced like every other file: a link to it stays,
// a sink it is pointed at stays a sink.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "TempDir.h"
#include "TestListObject.h"
#include "automation/ComponentRegistry.h"

namespace tovtest {
namespace {

namespace fs = std::filesystem;

ClassRecord testClass() {
  return ClassRecord{kClsidTestList, u"TestList", u"TestLib.TestList", u"/opt/lib.so", u"Apartment",
                     kNullGuid,      u"1.0",     false};
}

TEST(ComponentRegistryWrites, LinkedRegistryKeepsItsLinkAndPermissions) {
  TempDir dir("registry");
  writeBytes(dir / "real.ini", "");
  ASSERT_EQ(chmod((dir / "real.ini").c_str(), 0600), 0);
  fs::create_symlink("real.ini", dir / "registry.ini");
  const ComponentRegistry registry(dir / "registry.ini");
  ASSERT_TRUE(registry.writeClass(testClass()));
  EXPECT_TRUE(fs::is_symlink(fs::symlink_status(dir / "registry.ini")));
  EXPECT_EQ(registry.findClass(kClsidTestList)->libraryPath, u"/opt/lib.so");
  struct stat st {};
  ASSERT_EQ(stat((dir / "real.ini").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
}

TEST(ComponentRegistryWrites, RegistryPointedAtASinkLeavesTheSinkInPlace) {
  TempDir dir("registry");
  const fs::path sink = dir / "sink";
  ASSERT_EQ(mkfifo(sink.c_str(), 0600), 0);
  const int reader = open(sink.c_str(), O_RDONLY | O_NONBLOCK);
  ASSERT_GE(reader, 0);
  fs::create_symlink(sink, dir / "registry.ini");
  const ComponentRegistry registry(dir / "registry.ini");
  EXPECT_TRUE(registry.writeClass(testClass()));
  char buf[256] = {};
  EXPECT_GT(read(reader, buf, sizeof buf - 1), 0);
  close(reader);
  EXPECT_NE(std::string(buf).find("TestLib.TestList"), std::string::npos);
  EXPECT_TRUE(fs::is_fifo(fs::symlink_status(sink)));
  EXPECT_TRUE(fs::is_symlink(fs::symlink_status(dir / "registry.ini")));
}

}  // namespace
}  // namespace tovtest
