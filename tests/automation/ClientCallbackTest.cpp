// Calling back a client's object from inside a member: no object means no
// call, an object of the callback interface is called by slot, any other
// by name, and the client's failure reaches the member's caller as its
// error.
#include <gtest/gtest.h>

#include <atomic>

#include "TestClientClasses.h"
#include "automation/DispatchClient.h"
#include "automation/ModuleUsage.h"
#include "fileio/dispatch/TypeLibrary.h"
#include "fileio/interface/IFindFilesCallbackSlots.h"

namespace tovtest {
namespace {

// A C++ client's callback that serves _IFindFilesCallback through its slot
// table only: it knows no names, so a call by name would fail.
class SlotOnlyCallback {
 public:
  SlotOnlyCallback() : entry_{{{kTable}}, this} {}

  Dispatch* get() { return &entry_; }
  std::vector<std::u16string> seen;
  HResult answer = kSOk;
  int refs = 1;

 private:
  struct Entry : Dispatch {
    SlotOnlyCallback* owner;
  };
  static SlotOnlyCallback* self(Unknown* p) { return static_cast<Entry*>(p)->owner; }
  static HResult query(Unknown* p, const Guid& iid, void** out) {
    if (iid == kIidUnknown || iid == kIidDispatch || iid == ferrule::kIid_IFindFilesCallback) {
      ++self(p)->refs;
      *out = p;
      return kSOk;
    }
    *out = nullptr;
    return kENoInterface;
  }
  static std::uint32_t addRef(Unknown* p) { return static_cast<std::uint32_t>(++self(p)->refs); }
  static std::uint32_t release(Unknown* p) { return static_cast<std::uint32_t>(--self(p)->refs); }
  static HResult noTypeInfoCount(Dispatch*, std::uint32_t* n) { return *n = 0, kSOk; }
  static HResult noTypeInfo(Dispatch*, std::uint32_t, Lcid, TypeInfo**) { return kENotImpl; }
  static HResult noNames(Dispatch*, const Guid&, const std::u16string_view*, std::uint32_t, Lcid, DispId*) {
    return kDispEUnknownName;
  }
  static HResult noInvoke(Dispatch*, DispId, const Guid&, Lcid, std::uint16_t, DispParams*, Variant*, ExcepInfo*,
                          std::uint32_t*) {
    return kDispEMemberNotFound;
  }
  static HResult directoryCompleted(Dispatch* p, std::u16string_view path, VariantBool* cancel) {
    SlotOnlyCallback* s = self(p);
    s->seen.emplace_back(path);
    if (path == u"stop") *cancel = VariantBool::True;
    return s->answer;
  }
  static inline const SlotPtr kTable[] = {
      reinterpret_cast<SlotPtr>(&query),           reinterpret_cast<SlotPtr>(&addRef),
      reinterpret_cast<SlotPtr>(&release),         reinterpret_cast<SlotPtr>(&noTypeInfoCount),
      reinterpret_cast<SlotPtr>(&noTypeInfo),      reinterpret_cast<SlotPtr>(&noNames),
      reinterpret_cast<SlotPtr>(&noInvoke),        reinterpret_cast<SlotPtr>(&directoryCompleted),
  };

  Entry entry_;
};

class ClientCallbacks : public ::testing::Test {
 protected:
  ComPtr<Dispatch> source = makeDispatch<TestCallbackSource>();
  DispatchClient client{source};

  HResult walk(std::u16string paths, Variant callback, Variant* result = nullptr, CallError* error = nullptr) {
    const Variant args[] = {Variant::fromString(std::move(paths)), std::move(callback)};
    return client.call(u"Walk", args, {}, result, error);
  }
};

TEST_F(ClientCallbacks, NoObjectMeansNoCallAndAnythingElseThatIsNoObjectIsAMismatch) {
  Variant r;
  for (const Variant& none : {Variant::missing(), Variant(), Variant::fromDispatch(nullptr)}) {
    ASSERT_EQ(walk(u"a|b", none, &r), kSOk);
    EXPECT_EQ(r.longValue(), 0);
  }
  // By slot no conversion happens before the member sees the value.
  using WalkFn = HResult (*)(Dispatch*, std::u16string_view, const Variant&, std::int32_t*);
  std::int32_t calls = -1;
  const HResult hr =
      slotOf<WalkFn>(source.get(), slots::member(2))(source.get(), u"a", Variant::fromString(u"text"), &calls);
  EXPECT_EQ(hr, 0x800A000Du);
}

TEST_F(ClientCallbacks, AnObjectOfTheCallbackInterfaceIsCalledBySlot) {
  SlotOnlyCallback callback;
  Variant r;
  ASSERT_EQ(walk(u"a|b|stop|after", Variant::fromDispatch(callback.get()), &r), kSOk);
  EXPECT_EQ(r.longValue(), 3);
  EXPECT_EQ(callback.seen, (std::vector<std::u16string>{u"a", u"b", u"stop"}));
  // A failure is the client's error; this client keeps no error
  // information, so the error is made from its code.
  callback.answer = 0x800A0035u;
  CallError e;
  EXPECT_EQ(walk(u"x", Variant::fromDispatch(callback.get()), nullptr, &e), 0x800A0035u);
  EXPECT_EQ(e.record.number, 53);
  EXPECT_EQ(e.record.description, u"File not found");
  EXPECT_EQ(callback.refs, 1);  // nothing kept beyond the call
}

TEST_F(ClientCallbacks, AnyOtherObjectIsCalledByNameAndItsErrorReachesTheCallerWhole) {
  ComPtr<Dispatch> named = makeDispatch<TestNamedCallback>();
  auto* object = objectOf<TestNamedCallback>(named.get());
  Variant r;
  ASSERT_EQ(walk(u"one|stop|two", Variant::fromDispatch(named), &r), kSOk);
  EXPECT_EQ(r.longValue(), 2);
  CallError e;
  EXPECT_EQ(walk(u"one|fail|two", Variant::fromDispatch(named), nullptr, &e), 0x800A0035u);
  EXPECT_EQ(e.record, (tov::ErrorRecord{53, u"TestNamedCallback", u"File not found", u"cb.chm", 7}));
  EXPECT_EQ(object->seen, (std::vector<std::u16string>{u"one", u"stop", u"one", u"fail"}));
  // An object without the member fails as such a call does.
  EXPECT_EQ(walk(u"x", Variant::fromDispatch(source), nullptr, &e), 0x800A01B6u);
  EXPECT_EQ(e.record.number, 438);
}

TEST(IFindFilesCallbackSlotsHeader, MatchesWhatTheFrameBindsForTheDescribedInterface) {
  // Binding checks each member's C++ signature against the description;
  // the header's function type is the slot the binder makes.
  EXPECT_NO_THROW(InterfaceBinding(ferrule::typeLibrary(), u"_IFindFilesCallback",
                                   {bindSlot<&TestNamedCallback::DirectoryCompleted>()}));
  static_assert(std::is_same_v<SlotFunction<&TestNamedCallback::DirectoryCompleted>,
                               ferrule::IFindFilesCallbackSlots::DirectoryCompletedFn>);
  SlotOnlyCallback callback;
  VariantBool cancel = VariantBool::False;
  ASSERT_EQ(ferrule::IFindFilesCallbackSlots::DirectoryCompleted(callback.get(), u"stop", &cancel), kSOk);
  EXPECT_EQ(cancel, VariantBool::True);
}

}  // namespace
}  // namespace tovtest
