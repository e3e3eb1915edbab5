// The registries clients read: the user's own first, then the machine's in
// the order of the XDG data directories; the first file that knows a class
// answers for it; a file another user could change stops the search.
#include <gtest/gtest.h>

#include <filesystem>

#include "ProgramRun.h"
#include "ScopedEnv.h"
#include "TempDir.h"
#include "TestListObject.h"
#include "automation/ComponentLoader.h"
#include "automation/ComponentServer.h"
#include "automation/RegistrySearch.h"
#include "fileio/dispatch/ComponentClasses.h"
#include "fileio/dispatch/TypeLibrary.h"
#include "platform/Utf.h"

namespace tovtest {
namespace {

namespace fs = std::filesystem;

ClassRecord testClass(std::u16string library) {
  return {kClsidTestList, u"TestList", u"TestLib.TestList", std::move(library), u"Apartment", kNullGuid, u"1.0", false};
}

TEST(RegistrySearchFiles, TheUsersFileThenEachDataDirectoryOrANamedFileAlone) {
  ScopedEnv named("TOVAPPS_REGISTRY", nullptr);
  ScopedEnv dataHome("XDG_DATA_HOME", "/home/u/data");
  {
    ScopedEnv dirs("XDG_DATA_DIRS", nullptr);
    EXPECT_EQ(RegistrySearch::standard().files(),
              (std::vector<fs::path>{"/home/u/data/TOVapps/registry.ini", "/usr/local/share/TOVapps/registry.ini",
                                     "/usr/share/TOVapps/registry.ini"}));
  }
  {
    // Relative entries do not count, a trailing slash changes nothing and a
    // directory named twice is read once.
    ScopedEnv dirs("XDG_DATA_DIRS", "/opt/a/share/:relative::/usr/share:/opt/a/share");
    EXPECT_EQ(RegistrySearch::standard().files(),
              (std::vector<fs::path>{"/home/u/data/TOVapps/registry.ini", "/opt/a/share/TOVapps/registry.ini",
                                     "/usr/share/TOVapps/registry.ini"}));
  }
  {
    ScopedEnv dirs("XDG_DATA_DIRS", "");
    EXPECT_EQ(RegistrySearch::standard().files().size(), 3u);
  }
  ScopedEnv alone("TOVAPPS_REGISTRY", "/tmp/private.ini");
  EXPECT_EQ(RegistrySearch::standard().files(), std::vector<fs::path>{"/tmp/private.ini"});
  EXPECT_EQ(RegistrySearch::standard().describe(), "in /tmp/private.ini");
}

class RegistryLayers : public ::testing::Test {
 protected:
  TempDir dir{"layers"};
  fs::path userFile = dir / "user.ini";
  fs::path firstSystem = dir / "first.ini";
  fs::path secondSystem = dir / "second.ini";
  RegistrySearch search{{userFile, firstSystem, secondSystem}};
};

TEST_F(RegistryLayers, TheFirstFileThatKnowsAClassAnswersForItWhole) {
  EXPECT_FALSE(search.findClass(kClsidTestList).value);  // no file exists
  ASSERT_TRUE(ComponentRegistry(secondSystem).writeClass(testClass(u"/usr/lib/second.so")));
  auto found = search.findClass(kClsidTestList);
  ASSERT_TRUE(found.value);
  EXPECT_EQ(found.value->libraryPath, u"/usr/lib/second.so");
  EXPECT_EQ(found.from, secondSystem);

  // An earlier data directory comes first; the user's own file before all.
  ClassRecord marked = testClass(u"/usr/local/lib/first.so");
  marked.appObject = true;
  ASSERT_TRUE(ComponentRegistry(firstSystem).writeClass(marked));
  EXPECT_EQ(search.findClass(kClsidTestList).value->libraryPath, u"/usr/local/lib/first.so");
  ASSERT_TRUE(ComponentRegistry(userFile).writeClass(testClass(u"/home/u/lib/own.so")));
  found = search.findClass(kClsidTestList);
  EXPECT_EQ(found.value->libraryPath, u"/home/u/lib/own.so");
  // Whole: nothing of the machine's record (its application-object mark)
  // shows through the user's.
  EXPECT_FALSE(found.value->appObject);
  EXPECT_EQ(search.clsidOf(u"TestLib.TestList").from, userFile);

  // Taking the user's registration away brings the machine's back.
  ASSERT_TRUE(ComponentRegistry(userFile).removeClass(kClsidTestList, u"TestLib.TestList"));
  EXPECT_EQ(search.findClass(kClsidTestList).value->libraryPath, u"/usr/local/lib/first.so");
  EXPECT_EQ(search.clsidOf(u"TestLib.TestList").from, firstSystem);
}

TEST_F(RegistryLayers, AFileAnotherUserCouldChangeStopsTheSearchWithTheReason) {
  ASSERT_TRUE(ComponentRegistry(secondSystem).writeClass(testClass(u"/usr/lib/second.so")));
  ASSERT_TRUE(ComponentRegistry(firstSystem).writeInterface(kIidTestList, u"_TestList", kNullGuid, u"1.0"));
  fs::permissions(firstSystem, fs::perms::others_write, fs::perm_options::add);
  const auto answer = search.findClass(kClsidTestList);
  EXPECT_FALSE(answer.value);
  EXPECT_EQ(answer.from, firstSystem);
  EXPECT_NE(answer.refusal.find(firstSystem.string() + " is writable by other users"), std::string::npos)
      << answer.refusal;

  // Found before the refused file, the answer stands.
  ASSERT_TRUE(ComponentRegistry(userFile).writeClass(testClass(u"/home/u/lib/own.so")));
  EXPECT_TRUE(search.findClass(kClsidTestList).value);
  EXPECT_TRUE(search.findClass(kClsidTestList).refusal.empty());
}

TEST(RegistryLayersThroughTheLoader, AMachineWideRegistrationServesAUserWithoutOne) {
  TempDir dir("machine");
  const fs::path data = dir / "usr" / "share";
  const fs::path library = fs::canonical("/proc/self/exe").parent_path().parent_path() / "lib" / "libFerrule0101.so";
  ASSERT_EQ(ferrule::componentServer().registerServer(library, ComponentRegistry(RegistrySearch::systemFileIn(data))),
            kSOk);
  ScopedEnv named("TOVAPPS_REGISTRY", nullptr);
  ScopedEnv home("XDG_DATA_HOME", (dir / "home").c_str());
  Guid clsid;
  {
    // Not among the data directories: not read.
    ScopedEnv dirs("XDG_DATA_DIRS", (dir / "elsewhere").c_str());
    EXPECT_EQ(CLSIDFromProgID(u"Ferrule0101.tovFSO", &clsid), kCoEClassString);
    EXPECT_EQ(lastCreationMessage(), "no class named Ferrule0101.tovFSO is registered in " +
                                         (dir / "home/TOVapps/registry.ini").string() + " or " +
                                         (dir / "elsewhere/TOVapps/registry.ini").string());
  }
  ScopedEnv dirs("XDG_DATA_DIRS", data.c_str());
  ASSERT_EQ(CLSIDFromProgID(u"Ferrule0101.tovFSO", &clsid), kSOk) << lastCreationMessage();
  ComPtr<Dispatch> fso;
  ASSERT_EQ(CoCreateInstance(clsid, nullptr, kIidDispatch, fso.putVoid()), kSOk) << lastCreationMessage();
  EXPECT_FALSE(fs::exists(dir / "home" / "TOVapps"));  // a client only reads
}

#ifdef TOVREGSVR_BINARY
// tovregsvr run from <prefix>/bin, as an installed tool is.
class TovregsvrTool : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(prefix / "bin");
    fs::copy_file(TOVREGSVR_BINARY, tool);
  }
  ProgramRun run(std::vector<std::string> args, std::vector<std::string> env = {}) {
    env.push_back("XDG_DATA_HOME=" + (dir / "home").string());
    return runProgram(tool.string(), args, {env, {"TOVAPPS_REGISTRY"}, "", true});
  }
  TempDir dir{"tovregsvr"};
  fs::path prefix = dir / "prefix";
  fs::path tool = prefix / "bin" / "tovregsvr";
  std::string library = FERRULE_LIBRARY;
};

TEST_F(TovregsvrTool, SaysWhichRegistryItWrote) {
  const fs::path user = dir / "home" / "TOVapps" / "registry.ini";
  ProgramRun r = run({library});
  EXPECT_EQ(r.status, 0) << r.output;
  EXPECT_NE(r.output.find("succeeded (per-user registry " + user.string() + ")"), std::string::npos) << r.output;
  EXPECT_TRUE(ComponentRegistry(user).clsidOf(u"Ferrule0101.tovFSO"));

  const fs::path named = dir / "named.ini";
  r = run({library}, {"TOVAPPS_REGISTRY=" + named.string()});
  EXPECT_NE(r.output.find("(registry named by TOVAPPS_REGISTRY " + named.string() + ")"), std::string::npos)
      << r.output;

  // --system: the installation's own data directory, whatever the
  // environment names.
  const fs::path system = prefix / "share" / "TOVapps" / "registry.ini";
  r = run({"--system", library}, {"TOVAPPS_REGISTRY=" + named.string(), "XDG_DATA_DIRS=" + (prefix / "share").string()});
  EXPECT_EQ(r.status, 0) << r.output;
  EXPECT_NE(r.output.find("(system registry " + system.string() + ")"), std::string::npos) << r.output;
  EXPECT_EQ(r.output.find("note:"), std::string::npos) << r.output;
  EXPECT_TRUE(ComponentRegistry(system).clsidOf(u"Ferrule0101.tovFSO"));
  r = run({"--system", "/u", library});
  EXPECT_EQ(r.status, 0) << r.output;
  EXPECT_FALSE(ComponentRegistry(system).clsidOf(u"Ferrule0101.tovFSO"));
  EXPECT_TRUE(ComponentRegistry(user).clsidOf(u"Ferrule0101.tovFSO"));  // the user's stays
}

TEST_F(TovregsvrTool, RefusesWhatItCannotTrustOrUnderstand) {
  EXPECT_EQ(run({}).status, 2);
  EXPECT_EQ(run({"a.so", "b.so"}).status, 2);
  EXPECT_EQ(run({"--help"}).status, 0);
  // A machine-wide registry anybody could change is not written.
  fs::create_directories(prefix / "share" / "TOVapps");
  fs::permissions(prefix / "share" / "TOVapps", fs::perms::others_write, fs::perm_options::add);
  const ProgramRun r = run({"--system", library});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.output.find("TOVapps is writable by other users"), std::string::npos) << r.output;
  EXPECT_FALSE(fs::exists(prefix / "share" / "TOVapps" / "registry.ini"));
}
#endif

}  // namespace
}  // namespace tovtest
