#include "TestTreeObjects.h"

namespace tovtest {
namespace {

inline constexpr Guid kIidTestLevel = makeGuid("0C9A6F1E-3B2D-4E5F-8A7B-6C5D4E3F2A1B");
inline constexpr Guid kIidTestNode = makeGuid("1D0B7A2F-4C3E-4F60-9B8C-7D6E5F4A3B2C");

TypeLibraryDescription build() {
  const TypeRef kLong{TypeKind::Long, {}};
  const TypeRef kString{TypeKind::String, {}};
  const TypeRef kVoid{TypeKind::Void, {}};
  TypeLibraryDescription lib;
  lib.name = u"TestTree";
  lib.libid = makeGuid("2E1C8B3A-5D4F-4071-AC9D-8E7F6A5B4C3D");
  InterfaceDescription level{u"_TestLevel", kIidTestLevel, kInterfaceDual, {}, {}};
  level.members = {
      {1, u"Count", kMemberDispIdBase + 1, MemberKind::PropertyGet, {}, kLong, {}, 0},
      {2, u"Item", kDispIdValue, MemberKind::PropertyGet, {{u"Index", kLong}}, {TypeKind::Object, u"TestNode"}, {},
       kMemberDefault},
      {3, u"NewEnum", kDispIdNewEnum, MemberKind::PropertyGet, {}, {TypeKind::Unknown, {}}, {},
       kMemberHidden | kMemberEnumerator},
      {4, u"Fill", kMemberDispIdBase + 4, MemberKind::Method, {{u"Size", kLong}, {u"Prefix", kString}}, kVoid, {}, 0},
      {5, u"FillLazily", kMemberDispIdBase + 5, MemberKind::Method, {{u"Size", kLong}, {u"Prefix", kString}}, kVoid,
       {}, 0},
      {6, u"Drop", kMemberDispIdBase + 6, MemberKind::Method, {}, kVoid, {}, 0},
  };
  InterfaceDescription node{u"_TestNode", kIidTestNode, kInterfaceDual, {}, {}};
  node.members = {
      {1, u"Name", kMemberDispIdBase + 1, MemberKind::PropertyGet, {}, kString, {}, 0},
      {2, u"Childs", kMemberDispIdBase + 2, MemberKind::PropertyGet, {}, {TypeKind::Object, u"TestLevel"}, {}, 0},
  };
  lib.interfaces.push_back(std::move(level));
  lib.interfaces.push_back(std::move(node));
  return lib;
}

const TypeLibraryDescription& library() {
  static const TypeLibraryDescription lib = build();
  return lib;
}

const InterfaceBinding& levelBinding() {
  using T = TestLevel;
  static const InterfaceBinding binding(library(), u"_TestLevel",
                                        {bindSlot<&T::Count>(), bindSlot<&T::Item>(), bindSlot<&T::NewEnum>(),
                                         bindSlot<&T::Fill>(), bindSlot<&T::FillLazily>(), bindSlot<&T::Drop>()});
  return binding;
}

const InterfaceBinding& nodeBinding() {
  static const InterfaceBinding binding(library(), u"_TestNode",
                                        {bindSlot<&TestNode::Name>(), bindSlot<&TestNode::Childs>()});
  return binding;
}

std::u16string numbered(std::u16string_view prefix, std::int32_t i) {
  const std::string digits = std::to_string(i);
  return std::u16string(prefix) + std::u16string(digits.begin(), digits.end());
}

}  // namespace

TestLevel::TestLevel() : DispatchObject(levelBinding(), u"TestLevel") {}

ComPtr<Dispatch> TestLevel::create() { return makeDispatch<TestLevel>(); }

void TestLevel::Fill(std::int32_t Size, std::u16string_view Prefix) {
  nodes_.clear();
  for (std::int32_t i = 0; i < Size; ++i) nodes_.append(numbered(Prefix, i));
}

void TestLevel::FillLazily(std::int32_t Size, std::u16string_view Prefix) {
  nodes_.assign(Size, [prefix = std::u16string(Prefix)](std::int32_t i) {
    return makeDispatch<TestNode>(numbered(prefix, i));
  });
}

TestNode::TestNode(std::u16string name) : DispatchObject(nodeBinding(), u"TestNode"), name_(std::move(name)) {
  ++TestLevel::nodesMade;
}

ComPtr<Dispatch> TestNode::Childs() {
  if (!childs_) childs_ = TestLevel::create();
  return childs_;
}

}  // namespace tovtest
