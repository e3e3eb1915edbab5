#include "automation/RuntimeTypeLibrary.h"

namespace tov::automation {
namespace {

ParamDescription variantParam(std::u16string_view name, bool optional = false) {
  return ParamDescription{name, {TypeKind::Variant, {}}, optional, std::nullopt, false};
}

InterfaceDescription collectionInterface() {
  InterfaceDescription i{u"_Collection", kIidCollection, kInterfaceDual | kInterfaceHidden | kInterfaceOleAutomation,
                         {}, {}};
  i.members = {
      {1, u"Add", kMemberDispIdBase + 1, MemberKind::Method,
       {variantParam(u"Item"), variantParam(u"Key", true), variantParam(u"Before", true),
        variantParam(u"After", true)},
       {TypeKind::Void, {}}, u"Adds a member to the collection.", 0},
      {2, u"Count", kMemberDispIdBase + 2, MemberKind::PropertyGet, {}, {TypeKind::Long, {}},
       u"Number of members in the collection.", 0},
      {3, u"Item", kDispIdValue, MemberKind::PropertyGet, {variantParam(u"Index")}, {TypeKind::Variant, {}},
       u"A member, by position (from 1) or by key.", kMemberDefault},
      {4, u"Remove", kMemberDispIdBase + 4, MemberKind::Method, {variantParam(u"Index")}, {TypeKind::Void, {}},
       u"Removes a member, by position or by key.", 0},
      {5, u"_NewEnum", kDispIdNewEnum, MemberKind::PropertyGet, {}, {TypeKind::Unknown, {}}, {},
       kMemberHidden | kMemberEnumerator},
  };
  return i;
}

TypeLibraryDescription build() {
  TypeLibraryDescription lib;
  lib.name = u"AutomationRuntime";
  lib.libid = kRuntimeLibId;
  lib.majorVersion = 1;
  lib.minorVersion = 0;
  lib.lcid = 0;
  lib.help = u"Runtime classes of the automation frame";
  lib.interfaces.push_back(collectionInterface());
  lib.classes.push_back({u"Collection", kClsidCollection, u"_Collection", kClassCreatable, {}});
  return lib;
}

}  // namespace

const TypeLibraryDescription& runtimeTypeLibrary() {
  static const TypeLibraryDescription lib = build();
  return lib;
}

}  // namespace tov::automation
