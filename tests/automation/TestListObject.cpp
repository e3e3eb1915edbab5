#include "TestListObject.h"

#include <string>

namespace tovtest {
namespace {

TypeLibraryDescription build() {
  const TypeRef kLong{TypeKind::Long, {}};
  TypeLibraryDescription lib;
  lib.name = u"TestLib";
  lib.libid = makeGuid("7A8B9C0D-1E2F-4A3B-8C4D-5E6F7A8B9C0D");
  InterfaceDescription i{u"_TestList", kIidTestList, kInterfaceDual, {}, {}};
  i.members = {
      {1, u"Count", kMemberDispIdBase + 1, MemberKind::PropertyGet, {}, kLong, {}, 0},
      {2, u"Item", kDispIdValue, MemberKind::PropertyGet, {{u"Index", kLong}}, {TypeKind::Variant, {}}, {},
       kMemberDefault},
      {3, u"NewEnum", kDispIdNewEnum, MemberKind::PropertyGet, {}, {TypeKind::Unknown, {}}, {},
       kMemberHidden | kMemberEnumerator},
      {4, u"Fill", kMemberDispIdBase + 4, MemberKind::Method, {{u"Size", kLong}}, {}, {}, 0},
      {5, u"Describe", kMemberDispIdBase + 5, MemberKind::Method,
       {{u"Text", {TypeKind::String, {}}},
        {u"Times", kLong, true, Variant::fromLong(2), false},
        {u"Extra", {TypeKind::Variant, {}}, true, std::nullopt, false},
        {u"Flag", {TypeKind::Boolean, {}}, true, Variant::fromBool(true), false}},
       {TypeKind::String, {}}, {}, 0},
      {6, u"Bump", kMemberDispIdBase + 6, MemberKind::Method, {{u"Value", kLong, false, std::nullopt, true}}, {}, {},
       0},
      {7, u"IsPositive", kMemberDispIdBase + 7, MemberKind::Method, {{u"Value", kLong}}, {TypeKind::Boolean, {}}, {},
       0},
      {8, u"Fail", kMemberDispIdBase + 8, MemberKind::Method, {{u"Number", kLong}}, {}, {}, 0},
  };
  lib.interfaces.push_back(std::move(i));
  lib.classes.push_back({u"TestList", kClsidTestList, u"_TestList", kClassCreatable, {}});
  return lib;
}

const InterfaceBinding& testListBinding() {
  using T = TestListObject;
  static const InterfaceBinding binding(testTypeLibrary(), u"_TestList",
                                        {bindSlot<&T::Count>(), bindSlot<&T::Item>(), bindSlot<&T::NewEnum>(),
                                         bindSlot<&T::Fill>(), bindSlot<&T::Describe>(), bindSlot<&T::Bump>(),
                                         bindSlot<&T::IsPositive>(), bindSlot<&T::Fail>()});
  return binding;
}

}  // namespace

const TypeLibraryDescription& testTypeLibrary() {
  static const TypeLibraryDescription lib = build();
  return lib;
}

TestListObject::TestListObject() : DispatchObject(testListBinding(), u"TestList"), list_(u"TestList") {}

ComPtr<Dispatch> TestListObject::create() {
  return makeDispatch<TestListObject>();
}

void TestListObject::Fill(std::int32_t Size) {
  list_.clear();
  for (std::int32_t i = 0; i < Size; ++i) list_.append(Variant::fromString(u"item" + std::u16string(1, u'0' + i)));
}

std::u16string TestListObject::Describe(std::u16string_view Text, std::int32_t Times, const Variant& Extra,
                                        VariantBool Flag) {
  std::u16string out;
  for (std::int32_t i = 0; i < Times; ++i) out += Text;
  out += Extra.isMissing() ? u"|missing|" : u"|" + Extra.stringValue() + u"|";
  out += isTrue(Flag) ? u"T" : u"F";
  return out;
}

void TestListObject::Bump(std::int32_t* Value) { *Value += 1; }

void TestListObject::Fail(std::int32_t Number) {
  tov::ErrorRecord r{Number, u"TestList", u"failed on purpose", u"help.chm", 42};
  throw tov::RuntimeError(r);
}

}  // namespace tovtest
