// The library's type information: the slot order, dispatch ids, optional
// parameters, aliases, flags and help strings a client relies on.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "fileio/dispatch/ComponentClasses.h"
#include "fileio/dispatch/TypeLibrary.h"
#include "fileio/dispatch/tovFSODispatch.h"

namespace tovtest {
namespace {

using namespace tov::automation;
using ferrule::typeLibrary;

TEST(FerruleTypeLibrary, EveryInterfaceHasContiguousSlotsAndUniqueStableIds) {
  std::vector<Guid> ids;  // every identifier of the library is its own
  auto unique = [&](const Guid& g) {
    if (std::find(ids.begin(), ids.end(), g) != ids.end()) return false;
    ids.push_back(g);
    return true;
  };
  ASSERT_TRUE(unique(typeLibrary().libid));
  for (const auto& iface : typeLibrary().interfaces) {
    EXPECT_TRUE(unique(iface.iid)) << std::string(iface.name.begin(), iface.name.end());
    EXPECT_EQ(iface.flags & kInterfaceHidden, kInterfaceHidden);
    EXPECT_EQ(iface.flags & kInterfaceDual, kInterfaceDual);
    std::set<DispId> dispIds;
    for (std::size_t i = 0; i < iface.members.size(); ++i) {
      const auto& m = iface.members[i];
      EXPECT_EQ(m.slot, static_cast<int>(i) + 1);
      EXPECT_TRUE(dispIds.insert(m.id).second);
      if (m.name == u"Item") {
        EXPECT_EQ(m.id, kDispIdValue);
      } else if (m.name == u"NewEnum") {
        EXPECT_EQ(m.id, kDispIdNewEnum);
        EXPECT_EQ(m.flags & kMemberHidden, kMemberHidden);
      } else {
        EXPECT_GE(m.id, kMemberDispIdBase);
      }
    }
  }
  for (const auto& c : typeLibrary().classes) {
    EXPECT_TRUE(unique(c.clsid));
    EXPECT_NE(typeLibrary().findInterface(c.defaultInterface), nullptr);
  }
  for (const auto& a : typeLibrary().aliases) EXPECT_TRUE(unique(a.iid));
}

TEST(FerruleTypeLibrary, MemberCountsAndKeyMembersSitInTheirSlots) {
  auto count = [](std::u16string_view name) { return typeLibrary().findInterface(name)->members.size(); };
  EXPECT_EQ(count(u"_tovFSO"), 22u);
  EXPECT_EQ(count(u"_tovDescriptIon"), 13u);
  EXPECT_EQ(count(u"_FileStream"), 19u);
  EXPECT_EQ(count(u"_tovFoundedFiles"), 9u);
  EXPECT_EQ(count(u"_FoundedFile"), 23u);
  EXPECT_EQ(count(u"_tovFileVersion"), 46u);
  EXPECT_EQ(count(u"_tovShellFileInfo"), 18u);
  const auto& fso = *typeLibrary().findInterface(u"_tovFSO");
  EXPECT_EQ(fso.members[4].name, u"PutFile");
  EXPECT_EQ(fso.members[5].name, u"PutFileW");
  const auto& putFileW = fso.members[5];
  EXPECT_EQ(putFileW.requiredCount(), 2u);
  EXPECT_EQ(putFileW.params[3].name, u"WriteUnicodeHeader");
  EXPECT_EQ(*putFileW.params[3].defaultValue, Variant::fromBool(true));
  EXPECT_EQ(*fso.findByName(u"ReadStandardListFile")->params[1].defaultValue, Variant::fromString(u";"));
  const auto* lpErrorCode = &fso.findByName(u"GetFileCompression")->params[1];
  EXPECT_TRUE(lpErrorCode->optional && lpErrorCode->byRef && !lpErrorCode->defaultValue);
}

TEST(FerruleTypeLibrary, ClassesCarryTheirCreationFlagsAndHelpStrings) {
  const auto* fso = typeLibrary().findClass(u"tovFSO");
  EXPECT_EQ(fso->flags, kClassCreatable | kClassAppObject | kClassPredeclared);
  for (auto name : {u"FileStream", u"FoundedFile", u"ShellFileEXE", u"ShellFileIcon"}) {
    EXPECT_FALSE(typeLibrary().findClass(name)->creatable());
  }
  EXPECT_EQ(typeLibrary().findClass(u"tovFileVersion")->help, u"Класс работы с пометкой версии");
  EXPECT_EQ(typeLibrary().findInterface(u"_tovFileVersion")->findByName(u"Signature")->help,
            u"Возвращает &HFEEF04BD");
  EXPECT_EQ(typeLibrary().findInterface(u"_tovFSO")->findByName(u"GetFile")->help, u"");
  const auto* fileType = typeLibrary().findEnum(u"FileType_Const");
  EXPECT_EQ(fileType->values.back(), (std::pair<std::u16string_view, std::int32_t>{u"FileType_Static_Lib", 7}));
  EXPECT_EQ(typeLibrary().findEnum(u"CompressionFormatConst")->values.front().second, -1);
  EXPECT_EQ(typeLibrary().aliases.size(), 2u);
  EXPECT_NE(typeLibrary().aliases[0].iid, ferrule::kIid_tovFSO);
}

TEST(FerruleTypeLibrary, TheTovFsoTableMatchesItsDescription) {
  // Building the binding checks every member's C++ signature.
  const InterfaceBinding& b = ferrule::tovFSODispatch::interfaceBinding();
  EXPECT_TRUE(b.answersTo(ferrule::kIid_tovFSO___v0));
  EXPECT_TRUE(b.answersTo(ferrule::kIid_tovFSO___v1));
  EXPECT_NO_THROW(ferrule::componentServer());
}

}  // namespace
}  // namespace tovtest
