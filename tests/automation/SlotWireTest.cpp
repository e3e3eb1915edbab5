// What crosses a slot is decided by the binding's traits alone: a member
// type given a wire form of its own (here a NUL-terminated buffer, as a
// string of the platform's component model is) is called early-bound with
// that form and late-bound through Invoke, the member unchanged.
#include <gtest/gtest.h>

#include <cstring>

#include "automation/DispatchClient.h"
#include "automation/DispatchObject.h"
#include "automation/SlotBinding.h"

namespace tovtest {

// A text parameter and result of a member, as plain C++.
struct Words {
  std::u16string text;
};

}  // namespace tovtest

namespace tov::automation::binding_detail {

template <>
struct Arg<tovtest::Words> {
  using Wire = const char16_t*;
  static constexpr Shape shape = Shape::String;
  static Wire toWire(Variant& v) { return v.stringValue().c_str(); }
  static tovtest::Words toMember(Wire w) { return {w ? std::u16string(w) : std::u16string()}; }
};

// The result leaves the slot as a buffer the caller owns and frees.
template <>
struct Result<tovtest::Words> {
  using Out = char16_t*;
  static constexpr Shape shape = Shape::String;
  static void store(Out* out, tovtest::Words r) {
    *out = new char16_t[r.text.size() + 1];
    std::char_traits<char16_t>::copy(*out, r.text.c_str(), r.text.size() + 1);
  }
  static Variant toVariant(Out& o) {
    std::unique_ptr<char16_t[]> owned(std::exchange(o, nullptr));
    return Variant::fromString(owned ? std::u16string(owned.get()) : std::u16string());
  }
};

}  // namespace tov::automation::binding_detail

namespace tovtest {
namespace {

using namespace tov::automation;

const TypeLibraryDescription& library() {
  static const TypeLibraryDescription lib = [] {
    TypeLibraryDescription l;
    l.name = u"WireTest";
    InterfaceDescription i{u"_Echo", makeGuid("3F2D9C4B-6E5A-4182-BDAE-9F8E7D6C5B4A"), kInterfaceDual, {}, {}};
    i.members = {{1, u"Twice", kMemberDispIdBase + 1, MemberKind::Method, {{u"Text", {TypeKind::String, {}}}},
                  {TypeKind::String, {}}, {}, 0}};
    l.interfaces.push_back(std::move(i));
    return l;
  }();
  return lib;
}

class Echo : public DispatchObject {
 public:
  Echo() : DispatchObject(binding(), u"Echo") {}
  static const InterfaceBinding& binding() {
    static const InterfaceBinding b(library(), u"_Echo", {bindSlot<&Echo::Twice>()});
    return b;
  }
  Words Twice(Words Text) { return {Text.text + Text.text}; }
};

static_assert(std::is_same_v<SlotFunction<&Echo::Twice>, HResult(TOV_SLOTCALL*)(Dispatch*, const char16_t*, char16_t**)>);
static_assert(std::is_same_v<WireOf<Words>, const char16_t*> && std::is_same_v<WireResultOf<Words>, char16_t*>);

TEST(SlotWire, AMemberTypeWithItsOwnWireFormIsCalledByBothBindings) {
  ComPtr<Dispatch> echo = makeDispatch<Echo>();
  char16_t* out = nullptr;
  ASSERT_EQ(slotOf<SlotFunction<&Echo::Twice>>(echo.get(), slots::member(1))(echo.get(), u"ab", &out), kSOk);
  ASSERT_NE(out, nullptr);
  EXPECT_EQ(std::u16string(out), u"abab");
  delete[] out;

  DispatchClient client(echo);
  Variant r;
  const Variant args[] = {Variant::fromString(u"xyz")};
  ASSERT_EQ(client.call(u"Twice", args, {}, &r, nullptr), kSOk);
  EXPECT_EQ(r.stringValue(), u"xyzxyz");
  // A number converts to the declared String before it reaches the wire.
  const Variant number[] = {Variant::fromLong(12)};
  ASSERT_EQ(client.call(u"Twice", number, {}, &r, nullptr), kSOk);
  EXPECT_EQ(r.stringValue(), u"1212");
}

}  // namespace
}  // namespace tovtest
