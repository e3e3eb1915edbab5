// libFerrule0101.so as a client meets it: registration, creation through the
// registry, the class factories, early-bound slot calls and unloading.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "TempDir.h"
#include "automation/Collection.h"
#include "automation/ComponentLoader.h"
#include "automation/DispatchClient.h"
#include "automation/ServerEntryPoints.h"
#include "fileio/dispatch/TypeLibrary.h"
#include "fileio/interface/tovFSOSlots.h"
#include "platform/ProfileFile.h"

namespace tovtest {
namespace {

using namespace tov::automation;
namespace slotsFso = ferrule::tovFSOSlots;

// The build puts the library in <build>/lib, beside <build>/tests.
std::filesystem::path libraryPath() {
  return std::filesystem::canonical("/proc/self/exe").parent_path().parent_path() / "lib" / "libFerrule0101.so";
}

class ComponentLibrary : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    ASSERT_TRUE(std::filesystem::exists(libraryPath())) << libraryPath();
    handle = dlopen(libraryPath().c_str(), RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(handle, nullptr) << dlerror();
  }
  void SetUp() override {
    std::filesystem::remove(ComponentRegistry::defaultPath());
    ASSERT_EQ(entry<DllRegisterServerFn>(kDllRegisterServer)(), kSOk);
  }
  template <typename Fn>
  static Fn entry(const char* name) {
    return reinterpret_cast<Fn>(dlsym(handle, name));
  }
  ComPtr<Dispatch> createFso(const Guid& iid = ferrule::kIid_tovFSO) {
    ComPtr<Dispatch> fso;
    EXPECT_EQ(CoCreateInstance(ferrule::kClsid_tovFSO, nullptr, iid, fso.putVoid()), kSOk) << lastCreationMessage();
    return fso;
  }

  static inline void* handle = nullptr;
  TempDir dir{"component"};
};

TEST_F(ComponentLibrary, ExportsExactlyItsFourEntryPoints) {
  for (const char* name : {kDllGetClassObject, kDllCanUnloadNow, kDllRegisterServer, kDllUnregisterServer}) {
    EXPECT_NE(dlsym(handle, name), nullptr) << name;
  }
  for (const char* hidden : {"_ZN7ferrule14componentServerEv", "_ZN3tov10automation7Variant4nullEv"}) {
    EXPECT_EQ(dlsym(handle, hidden), nullptr) << hidden;
  }
}

TEST_F(ComponentLibrary, RegistrationRecordsProgIdsClassIdsAndTheTypeLibrary) {
  const std::string file = ComponentRegistry::defaultPath().string();
  const tov::platform::ProfileFile ini(file, {tov::platform::ProfileEncoding::Utf8, u"\n"});
  const std::u16string clsidSection = u"CLSID\\" + ferrule::kClsid_tovFSO.toString();
  EXPECT_EQ(ini.value(u"ProgID\\Ferrule0101.tovFSO", u"CLSID"), ferrule::kClsid_tovFSO.toString());
  EXPECT_EQ(ini.value(clsidSection, u"ThreadingModel"), u"Apartment");
  EXPECT_EQ(ini.value(clsidSection, u"InprocServer32"), libraryPath().u16string());
  EXPECT_EQ(ini.value(clsidSection, u"AppObject"), u"1");
  EXPECT_EQ(ini.value(u"TypeLib\\" + ferrule::kLibId.toString(), u"Version"), u"1.2");
  EXPECT_FALSE(ini.hasKey(u"ProgID\\Ferrule0101.FileStream", u"CLSID"));

  ASSERT_EQ(entry<DllUnregisterServerFn>(kDllUnregisterServer)(), kSOk);
  EXPECT_FALSE(ini.hasKey(clsidSection, u"InprocServer32"));
  Guid clsid;
  EXPECT_EQ(CLSIDFromProgID(u"Ferrule0101.tovFSO", &clsid), kCoEClassString);
}

TEST_F(ComponentLibrary, NonCreatableAndUnknownClassesAreRefused) {
  const Guid refused[] = {ferrule::kClsid_FileStream, ferrule::kClsid_FoundedFile, ferrule::kClsid_ShellFileEXE,
                          ferrule::kClsid_ShellFileIcon};
  auto getClassObject = entry<DllGetClassObjectFn>(kDllGetClassObject);
  for (const Guid& clsid : refused) {
    ComPtr<Unknown> object;
    EXPECT_EQ(CoCreateInstance(clsid, nullptr, kIidDispatch, object.putVoid()), kRegdbEClassNotReg);
    EXPECT_FALSE(object);
    ComPtr<ClassFactory> factory;
    EXPECT_EQ(getClassObject(&clsid, &kIidClassFactory, factory.putVoid()), kClassEClassNotAvailable);
  }
  Guid clsid;
  EXPECT_EQ(CLSIDFromProgID(u"Ferrule0101.FileStream", &clsid), kCoEClassString);
  ComPtr<Unknown> object;
  EXPECT_EQ(CoCreateInstance(makeGuid("00000000-1111-2222-3333-444444444444"), nullptr, kIidDispatch,
                             object.putVoid()),
            kRegdbEClassNotReg);
}

TEST_F(ComponentLibrary, AMissingLibraryFailsWithACodeAndItsPath) {
  const std::string file = ComponentRegistry::defaultPath().string();
  tov::platform::ProfileFile ini(file, {tov::platform::ProfileEncoding::Utf8, u"\n"});
  ASSERT_TRUE(ini.setValue(u"CLSID\\" + ferrule::kClsid_tovFSO.toString(), u"InprocServer32", u"/nowhere/libGone.so"));
  ComPtr<Dispatch> fso;
  EXPECT_EQ(CoCreateInstance(ferrule::kClsid_tovFSO, nullptr, kIidDispatch, fso.putVoid()), kModNotFound);
  EXPECT_NE(lastCreationMessage().find("/nowhere/libGone.so"), std::string::npos) << lastCreationMessage();
  EXPECT_NE(lastCreationMessage().find("Ferrule0101.tovFSO"), std::string::npos);
}

TEST_F(ComponentLibrary, TovFsoAnswersItsAliasesWithItsInterfaceAndNothingElse) {
  ComPtr<Dispatch> fso = createFso();
  for (const Guid& alias : {ferrule::kIid_tovFSO___v0, ferrule::kIid_tovFSO___v1}) {
    ComPtr<Dispatch> same;
    ASSERT_EQ(queryInterface(fso.get(), alias, same.putVoid()), kSOk);
    EXPECT_EQ(same.get(), fso.get());
  }
  ComPtr<Unknown> none;
  EXPECT_EQ(queryInterface(fso.get(), ferrule::kIid_tovDescriptIon, none.putVoid()), kENoInterface);
  // The aliases belong to tovFSO only: other dispatch objects refuse them.
  ComPtr<Dispatch> collection = Collection::create();
  ComPtr<Dispatch> refused;
  EXPECT_EQ(queryInterface(collection.get(), ferrule::kIid_tovFSO___v0, refused.putVoid()), kENoInterface);
  EXPECT_EQ(queryInterface(collection.get(), ferrule::kIid_tovFSO___v1, refused.putVoid()), kENoInterface);
}

TEST_F(ComponentLibrary, ConverterSlotsFiveAndSixWriteAndReportErrors) {
  ComPtr<Dispatch> fso = createFso();
  const std::u16string ansi = u16(dir / "ansi.txt");
  const std::u16string wide = u16(dir / "wide.txt");
  VariantBool ok = VariantBool::False;
  ASSERT_EQ(slotsFso::PutFile(fso.get(), ansi, u"abc", VariantBool::True, &ok), kSOk);
  EXPECT_EQ(static_cast<int>(ok), -1);
  EXPECT_EQ(readBytes(dir / "ansi.txt"), "abc");
  ASSERT_EQ(slotsFso::PutFileW(fso.get(), wide, u"A", VariantBool::True, VariantBool::True, VariantBool::False, &ok),
            kSOk);
  EXPECT_EQ(readBytes(dir / "wide.txt"), std::string("\xFF\xFE" "A\0", 4));

  const std::u16string lost = u16(dir / "no" / "such" / "dir.txt");
  const HResult hr = slotsFso::PutFile(fso.get(), lost, u"x", VariantBool::True, &ok);
  EXPECT_EQ(hr, 0x800A0000u + 76);
  const CallError e = errorOfFailedCall(fso.get(), hr);
  EXPECT_EQ(e.record.number, 76);
  EXPECT_EQ(e.hr, hr);
  // Without RaiseErrors the failure is the result.
  ok = VariantBool::True;
  EXPECT_EQ(slotsFso::PutFile(fso.get(), lost, u"x", VariantBool::False, &ok), kSOk);
  EXPECT_EQ(ok, VariantBool::False);
}

TEST_F(ComponentLibrary, StandardErrorsKeepTheirNumbersSourcesAndCodes) {
  const DispatchClient fso(createFso());
  CallError e;
  const std::u16string missing = u16(dir / "missing.txt");
  const std::vector<Variant> raising{Variant::fromString(missing), Variant::fromBool(true)};
  EXPECT_EQ(fso.call(u"GetFileB", raising, {}, nullptr, &e), 0x800A0035u);
  EXPECT_EQ(e.record.number, 53);
  EXPECT_EQ(e.record.description, u"File not found");

  const std::vector<Variant> overwrite{Variant::fromString(missing), Variant::fromBytes(tov::ByteArray{1})};
  EXPECT_EQ(fso.call(u"OverwriteFileB", overwrite, {}, nullptr, &e), 0x800A0039u);
  EXPECT_EQ(e.record.number, 57);
  EXPECT_EQ(e.record.source, u"tovFSO");
  EXPECT_FALSE(std::filesystem::exists(dir / "missing.txt"));

  writeBytes(dir / "odd.txt", std::string("\xFE\xFF\x00\x41\x00", 5));
  const std::vector<Variant> odd{Variant::fromString(u16(dir / "odd.txt")), Variant::fromBool(true)};
  EXPECT_EQ(fso.call(u"GetFileW", odd, {}, nullptr, &e), 0x800A0009u);
  EXPECT_EQ(e.record.number, 9);

  // Members without RaiseErrors report through their result only.
  Variant zone;
  EXPECT_EQ(fso.call(u"GetFileZone", std::vector<Variant>{Variant::fromString(missing)}, {}, &zone, &e), kSOk);
  EXPECT_EQ(zone.longValue(), 0);
}

TEST_F(ComponentLibrary, LateBoundDefaultsMatchTheEarlyBoundCall) {
  const DispatchClient fso(createFso());
  const std::u16string name = u16(dir / "w.txt");
  Variant r;
  ASSERT_EQ(fso.call(u"putfilew", std::vector<Variant>{Variant::fromString(name), Variant::fromString(u"A")}, {}, &r,
                     nullptr),
            kSOk);
  EXPECT_EQ(static_cast<int>(r.boolValue()), -1);
  EXPECT_EQ(readBytes(dir / "w.txt"), std::string("\xFF\xFE" "A\0", 4));
  // RaiseErrors omitted: a failure is a result, not an error.
  ASSERT_EQ(fso.call(u"GetFileB", std::vector<Variant>{Variant::fromString(u16(dir / "none"))}, {}, &r, nullptr),
            kSOk);
  EXPECT_TRUE(r.bytesValue().empty());
  const NamedArgument named[] = {{u"InvertBytes", Variant::fromString(u"True")}};
  ASSERT_EQ(fso.call(u"PutFileW", std::vector<Variant>{Variant::fromString(name), Variant::fromString(u"A")}, named,
                     &r, nullptr),
            kSOk);
  EXPECT_EQ(readBytes(dir / "w.txt"), std::string("\xFE\xFF\0A", 4));
}

TEST_F(ComponentLibrary, TheLibraryMayUnloadOnlyWhenNothingIsOutstanding) {
  auto canUnload = entry<DllCanUnloadNowFn>(kDllCanUnloadNow);
  ASSERT_EQ(canUnload(), kSOk);
  {
    ComPtr<Dispatch> fso = createFso();
    EXPECT_EQ(canUnload(), kSFalse);
  }
  EXPECT_EQ(canUnload(), kSOk);
  ComPtr<ClassFactory> factory;
  ASSERT_EQ(CoGetClassObject(ferrule::kClsid_tovFSO, kIidClassFactory, factory.putVoid()), kSOk);
  auto lockServer = slotOf<LockServerFn>(factory.get(), slots::kLockServer);
  ASSERT_EQ(lockServer(factory.get(), 1), kSOk);
  ComPtr<Unknown> outer;
  ASSERT_EQ(CoGetClassObject(ferrule::kClsid_tovFSO, kIidClassFactory, outer.putVoid()), kSOk);
  void* aggregated = nullptr;
  EXPECT_EQ(slotOf<CreateInstanceFn>(factory.get(), slots::kCreateInstance)(factory.get(), outer.get(), kIidUnknown,
                                                                           &aggregated),
            kClassENoAggregation);
  outer.reset();
  factory.reset();
  EXPECT_EQ(canUnload(), kSFalse);  // still locked
  ASSERT_EQ(CoGetClassObject(ferrule::kClsid_tovFSO, kIidClassFactory, factory.putVoid()), kSOk);
  ASSERT_EQ(lockServer(factory.get(), 0), kSOk);
  factory.reset();
  EXPECT_EQ(canUnload(), kSOk);
}

}  // namespace
}  // namespace tovtest
