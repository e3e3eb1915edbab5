// The registry file on its own, and the component server in-process:
// where the file lives, what a registration leaves in it, which classes get
// a factory.
#include <gtest/gtest.h>

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

#include "ScopedEnv.h"
#include "TempDir.h"
#include "TestListObject.h"
#include "automation/ComponentLoader.h"
#include "automation/ComponentServer.h"
#include "automation/ModuleUsage.h"
#include "fileio/dispatch/ComponentClasses.h"
#include "fileio/dispatch/TypeLibrary.h"
#include "fileio/dispatch/tovFSODispatch.h"
#include "platform/Utf.h"

namespace tovtest {
namespace {

using tovtest::ScopedEnv;

TEST(ComponentRegistryFile, LivesWhereTheEnvironmentSays) {
  {
    ScopedEnv reg("TOVAPPS_REGISTRY", "/tmp/elsewhere.ini");
    EXPECT_EQ(ComponentRegistry::defaultPath(), "/tmp/elsewhere.ini");
  }
  ScopedEnv reg("TOVAPPS_REGISTRY", nullptr);
  {
    ScopedEnv xdg("XDG_DATA_HOME", "/data/home");
    EXPECT_EQ(ComponentRegistry::defaultPath(), "/data/home/TOVapps/registry.ini");
  }
  ScopedEnv relative("XDG_DATA_HOME", "relative/dir");  // not absolute: ignored
  {
    ScopedEnv home("HOME", "/home/someone");
    EXPECT_EQ(ComponentRegistry::defaultPath(), "/home/someone/.local/share/TOVapps/registry.ini");
  }
  // A service or `env -i` has no HOME: the home comes from the password
  // database, never from a directory other users share.
  const passwd* me = getpwuid(getuid());
  ASSERT_TRUE(me && me->pw_dir);
  const std::filesystem::path fromDatabase = std::filesystem::path(me->pw_dir) / ".local/share/TOVapps/registry.ini";
  for (const char* home : {static_cast<const char*>(nullptr), "", "not/absolute"}) {
    ScopedEnv unset("HOME", home);
    EXPECT_EQ(ComponentRegistry::defaultPath(), fromDatabase);
  }
}

TEST(ComponentRegistryFile, ARegistryAnotherUserCouldChangeIsNeitherReadNorWritten) {
  TempDir dir("registry");
  const ComponentRegistry registry(dir / "registry.ini");
  const ClassRecord record{kClsidTestList, u"TestList", u"TestLib.TestList", u"/opt/lib.so", u"Apartment",
                           kNullGuid, u"1.0", false};
  ASSERT_TRUE(registry.writeClass(record));
  EXPECT_EQ(registry.trustProblem(), "");
  std::filesystem::permissions(registry.path(), std::filesystem::perms::others_write,
                               std::filesystem::perm_options::add);
  EXPECT_FALSE(registry.findClass(kClsidTestList));
  EXPECT_FALSE(registry.clsidOf(u"TestLib.TestList"));
  EXPECT_FALSE(registry.writeClass(record));
  EXPECT_EQ(registry.trustProblem(), "the component registry " + registry.path().string() +
                                         " is not used: " + registry.path().string() +
                                         " is writable by other users");
  // Creating from it says so, naming the file.
  ScopedEnv env("TOVAPPS_REGISTRY", registry.path().c_str());
  Guid clsid;
  EXPECT_EQ(CLSIDFromProgID(u"TestLib.TestList", &clsid), kEAccessDenied);
  EXPECT_EQ(lastCreationMessage(), registry.trustProblem());
  ComPtr<Unknown> object;
  EXPECT_EQ(CoCreateInstance(kClsidTestList, nullptr, kIidUnknown, object.putVoid()), kEAccessDenied);
  EXPECT_EQ(errorNumberFromHResult(kEAccessDenied), 70);
}

TEST(ComponentRegistryFile, ALaxUmaskDoesNotMakeTheRegistryRefuseItself) {
  TempDir dir("registry");
  const ComponentRegistry registry(dir / "made" / "by" / "registry.ini");
  const mode_t old = umask(0);
  const bool written = registry.writeClass({kClsidTestList, u"TestList", u"TestLib.TestList", u"/opt/lib.so",
                                            u"Apartment", kNullGuid, u"1.0", false});
  umask(old);
  ASSERT_TRUE(written);
  EXPECT_EQ(registry.trustProblem(), "");
  EXPECT_TRUE(registry.findClass(kClsidTestList));
  for (const auto& p : {registry.path(), registry.path().parent_path(), registry.path().parent_path().parent_path()}) {
    struct stat st {};
    ASSERT_EQ(stat(p.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 022, 0u) << p;
  }
}

TEST(ComponentLoaderTrust, ALibraryAnotherUserCouldChangeIsNotLoaded) {
  TempDir dir("registry");
  ScopedEnv env("TOVAPPS_REGISTRY", (dir / "registry.ini").c_str());
  const ComponentRegistry registry;
  auto registerAt = [&](const std::string& path) {
    ASSERT_TRUE(registry.writeClass({kClsidTestList, u"TestList", u"TestLib.TestList", tov::platform::fromUtf8(path),
                                     u"Apartment", kNullGuid, u"1.0", false}));
  };
  ComPtr<Unknown> object;
  const std::string shared = (dir / "shared.so").string();
  writeBytes(shared, "not a library either");
  std::filesystem::permissions(shared, std::filesystem::perms::others_write, std::filesystem::perm_options::add);
  registerAt(shared);
  EXPECT_EQ(CoCreateInstance(kClsidTestList, nullptr, kIidUnknown, object.putVoid()), kEAccessDenied);
  EXPECT_EQ(lastCreationMessage(), "the component library " + shared +
                                       " registered for TestLib.TestList is not loaded: " + shared +
                                       " is writable by other users");
  registerAt("relative/lib.so");
  EXPECT_EQ(CoCreateInstance(kClsidTestList, nullptr, kIidUnknown, object.putVoid()), kEAccessDenied);
  EXPECT_NE(lastCreationMessage().find("it is a relative path"), std::string::npos);
  // Trusted, it reaches the loader, which finds no library in it.
  std::filesystem::permissions(shared, std::filesystem::perms::others_write, std::filesystem::perm_options::remove);
  registerAt(shared);
  EXPECT_EQ(CoCreateInstance(kClsidTestList, nullptr, kIidUnknown, object.putVoid()), kModNotFound);
}

TEST(ComponentRegistryFile, RecordsReadBackAndGoWhenRemoved) {
  TempDir dir("registry");
  const ComponentRegistry registry(dir / "sub" / "registry.ini");
  EXPECT_FALSE(registry.findClass(kClsidTestList));  // no file yet
  const ClassRecord record{kClsidTestList, u"TestList", u"TestLib.TestList", u"/opt/libé.so", u"Apartment",
                           makeGuid("7A8B9C0D-1E2F-4A3B-8C4D-5E6F7A8B9C0D"), u"1.0", true};
  ASSERT_TRUE(registry.writeClass(record));
  ASSERT_TRUE(registry.writeTypeLibrary({record.typeLib, u"TestLib", u"1.0", u"409", u"help", u"/opt/libé.so",
                                         {u"TestLib.TestList", u"TestLib.Other"}}));
  EXPECT_EQ(registry.clsidOf(u"testlib.testlist"), kClsidTestList);
  const auto found = registry.findClass(kClsidTestList);
  ASSERT_TRUE(found);
  EXPECT_EQ(found->libraryPath, u"/opt/libé.so");
  EXPECT_TRUE(found->appObject);
  EXPECT_EQ(found->typeLib, record.typeLib);
  const auto lib = registry.findTypeLibrary(u"TestLib");
  ASSERT_TRUE(lib);
  EXPECT_EQ(lib->appObjects, (std::vector<std::u16string>{u"TestLib.TestList", u"TestLib.Other"}));

  // A second registration replaces the first whole.
  ClassRecord plain = record;
  plain.appObject = false;
  ASSERT_TRUE(registry.writeClass(plain));
  EXPECT_FALSE(registry.findClass(kClsidTestList)->appObject);

  ASSERT_TRUE(registry.removeClass(kClsidTestList, u"TestLib.TestList"));
  ASSERT_TRUE(registry.removeTypeLibrary(record.typeLib, u"TestLib"));
  EXPECT_FALSE(registry.findClass(kClsidTestList));
  EXPECT_FALSE(registry.clsidOf(u"TestLib.TestList"));
  EXPECT_FALSE(registry.findTypeLibrary(u"TestLib"));
}

TEST(ComponentRegistryFile, AnUnwritableFileFailsTheRegistration) {
  TempDir dir("registry");
  std::filesystem::create_directory(dir / "taken");
  const ComponentRegistry registry(dir / "taken");  // a directory, not a file
  EXPECT_EQ(ferrule::componentServer().registerServer("/x/libFerrule0101.so", registry), kSelfregETypeLib);
}

HResult createTestList(const Guid& iid, void** out) { return createObject<TestListObject>(iid, out); }

// A build of the library that implements tovFSO alone.
const ComponentServer& fsoOnlyServer() {
  static const ComponentServer server(ferrule::typeLibrary(), {{u"tovFSO", &ferrule::tovFSODispatch::create}});
  return server;
}

TEST(ComponentServerInProcess, ServesOnlyImplementedCreatableClasses) {
  EXPECT_THROW(ComponentServer(ferrule::typeLibrary(), {{u"FileStream", &createTestList}}), std::logic_error);
  EXPECT_THROW(ComponentServer(ferrule::typeLibrary(), {{u"NoSuchClass", &createTestList}}), std::logic_error);
  const ComponentServer& server = ferrule::componentServer();
  ComPtr<ClassFactory> factory;
  // Creatable by its description, but a build without its implementation.
  EXPECT_EQ(fsoOnlyServer().getClassObject(ferrule::kClsid_tovDescriptIon, kIidClassFactory, factory.putVoid()),
            kClassEClassNotAvailable);
  ASSERT_EQ(server.getClassObject(ferrule::kClsid_tovFSO, kIidClassFactory, factory.putVoid()), kSOk);
  ComPtr<Dispatch> fso;
  ASSERT_EQ(slotOf<CreateInstanceFn>(factory.get(), slots::kCreateInstance)(factory.get(), nullptr,
                                                                           ferrule::kIid_tovFSO___v1, fso.putVoid()),
            kSOk);
  EXPECT_EQ(server.canUnloadNow(), kSFalse);
}

TEST(ComponentServerInProcess, RegistrationListsServedClassesAndApplicationObjects) {
  TempDir dir("registry");
  const ComponentRegistry registry(dir / "registry.ini");
  ASSERT_EQ(ferrule::componentServer().registerServer("/opt/lib/libFerrule0101.so", registry), kSOk);
  EXPECT_EQ(registry.findTypeLibrary(u"Ferrule0101")->appObjects, std::vector<std::u16string>{u"Ferrule0101.tovFSO"});
  EXPECT_EQ(registry.findClass(ferrule::kClsid_tovFSO)->libraryPath, u"/opt/lib/libFerrule0101.so");
  EXPECT_TRUE(registry.clsidOf(u"Ferrule0101.tovDescriptIon"));
  EXPECT_TRUE(registry.clsidOf(u"Ferrule0101.tovShellFileInfo"));
  EXPECT_FALSE(registry.clsidOf(u"Ferrule0101.FileStream"));
  ASSERT_EQ(ferrule::componentServer().unregisterServer(registry), kSOk);
  EXPECT_FALSE(registry.findTypeLibrary(u"Ferrule0101"));
  ASSERT_EQ(fsoOnlyServer().registerServer("/opt/lib/libFerrule0101.so", registry), kSOk);
  EXPECT_TRUE(registry.clsidOf(u"Ferrule0101.tovFSO"));
  EXPECT_FALSE(registry.clsidOf(u"Ferrule0101.tovDescriptIon")) << "only the classes a build serves";
}

}  // namespace
}  // namespace tovtest
