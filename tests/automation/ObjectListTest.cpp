// Lists of objects as a client meets them: one object per element, nested
// levels, elements and enumerators that outlive their list, a dropped list,
// and no object left behind.
#include <gtest/gtest.h>

#include <limits>

#include "TestTreeObjects.h"
#include "automation/DispatchClient.h"
#include "automation/ModuleUsage.h"

namespace tovtest {
namespace {

Variant str(std::u16string s) { return Variant::fromString(std::move(s)); }

// A late-bound view of one test object.
struct Obj {
  DispatchClient client;

  explicit Obj(ComPtr<Dispatch> p) : client(std::move(p)) {}
  Variant get(std::u16string_view member, std::vector<Variant> args = {}, HResult expect = kSOk) const {
    Variant r;
    EXPECT_EQ(client.call(member, args, {}, &r, nullptr), expect) << std::string(member.begin(), member.end());
    return r;
  }
  CallError fail(std::u16string_view member, std::vector<Variant> args = {}) const {
    CallError e;
    Variant r;
    EXPECT_TRUE(failed(client.call(member, args, {}, &r, &e)));
    return e;
  }
  Variant item(std::int32_t i) const { return get(u"Item", {Variant::fromLong(i)}); }
  Obj child(std::int32_t i) const { return Obj(ComPtr<Dispatch>(item(i).dispatchValue())); }
  std::u16string name() const { return get(u"Name").stringValue(); }
  Dispatch* ptr() const { return client.get(); }
};

// The objects a for-each over `list` visits, in order.
std::vector<ComPtr<Dispatch>> forEach(const Obj& list) {
  Variant ev = list.get(u"NewEnum");
  ComPtr<EnumVariant> e;
  EXPECT_EQ(queryInterface(ev.unknownValue(), kIidEnumVariant, e.putVoid()), kSOk);
  std::vector<ComPtr<Dispatch>> out;
  Variant v;
  while (slotOf<EnumNextFn>(e.get(), slots::kEnumNext)(e.get(), 1, &v, nullptr) == kSOk) {
    out.emplace_back(v.dispatchValue());
  }
  return out;
}

std::u16string nameOf(Dispatch* p) { return Obj(ComPtr<Dispatch>(p)).name(); }

class ObjectLists : public ::testing::Test {
 protected:
  void TearDown() override {
    level = Obj(nullptr);
    // Everything the test made is gone with its last reference.
    EXPECT_EQ(ModuleUsage::objects(), objectsBefore);
  }

  std::int64_t objectsBefore = ModuleUsage::objects();
  Obj level{TestLevel::create()};
};

TEST_F(ObjectLists, EveryElementIsOneObjectWhetherAskedByIndexOrByForEach) {
  level.get(u"Fill", {Variant::fromLong(3), str(u"n")});
  ASSERT_EQ(level.get(u"Count").longValue(), 3);
  const Variant first = level.item(0);
  EXPECT_EQ(first.dispatchValue(), level.item(0).dispatchValue());
  EXPECT_EQ(nameOf(level.item(2).dispatchValue()), u"n2");
  const auto visited = forEach(level);
  ASSERT_EQ(visited.size(), 3u);
  for (std::int32_t i = 0; i < 3; ++i) EXPECT_EQ(visited[i].get(), level.item(i).dispatchValue()) << i;

  for (std::int32_t bad : {3, -1, std::numeric_limits<std::int32_t>::max(), std::numeric_limits<std::int32_t>::min()}) {
    const CallError e = level.fail(u"Item", {Variant::fromLong(bad)});
    EXPECT_EQ(e.hr, 0x800A0009u) << bad;
    EXPECT_EQ(e.record.source, u"TestLevel");
    EXPECT_EQ(e.record.description, u"Subscript out of range");
  }
}

TEST_F(ObjectLists, AnEmptyListCountsZeroAndEnumeratesNothing) {
  const auto before = ModuleUsage::objects();
  EXPECT_EQ(level.get(u"Count").longValue(), 0);
  EXPECT_EQ(level.fail(u"Item", {Variant::fromLong(0)}).record.number, 9);
  EXPECT_TRUE(forEach(level).empty());
  level.get(u"Fill", {Variant::fromLong(0), str(u"x")});
  EXPECT_TRUE(forEach(level).empty());
  EXPECT_EQ(ModuleUsage::objects(), before);
}

TEST_F(ObjectLists, ChildLevelsAreMadeOnFirstUseAndKeptAfterwards) {
  level.get(u"Fill", {Variant::fromLong(2), str(u"top")});
  const auto flat = ModuleUsage::objects();
  const Obj top = level.child(1);
  EXPECT_EQ(ModuleUsage::objects(), flat) << "a node has no child level until it is asked for";
  const Obj childs(ComPtr<Dispatch>(top.get(u"Childs").dispatchValue()));
  EXPECT_EQ(childs.ptr(), top.get(u"Childs").dispatchValue());
  EXPECT_EQ(childs.get(u"Count").longValue(), 0);
  childs.get(u"Fill", {Variant::fromLong(2), str(u"mid")});
  const Obj grand(ComPtr<Dispatch>(childs.child(0).get(u"Childs").dispatchValue()));
  grand.get(u"Fill", {Variant::fromLong(1), str(u"leaf")});

  // Walk the tree back from the top, by for-each at every level.
  std::vector<std::u16string> walked;
  std::function<void(const Obj&)> walk = [&](const Obj& list) {
    for (const auto& node : forEach(list)) {
      const Obj n(node);
      walked.push_back(n.name());
      walk(Obj(ComPtr<Dispatch>(n.get(u"Childs").dispatchValue())));
    }
  };
  walk(level);
  EXPECT_EQ(walked, (std::vector<std::u16string>{u"top0", u"top1", u"mid0", u"leaf0", u"mid1"}));
}

TEST_F(ObjectLists, ElementsAndEnumeratorsOutliveTheirListAndItsRefresh) {
  level.get(u"Fill", {Variant::fromLong(3), str(u"old")});
  Obj kept = level.child(1);
  const Variant ev = level.get(u"NewEnum");
  ComPtr<EnumVariant> e;
  ASSERT_EQ(queryInterface(ev.unknownValue(), kIidEnumVariant, e.putVoid()), kSOk);
  Variant v;
  ASSERT_EQ(slotOf<EnumNextFn>(e.get(), slots::kEnumNext)(e.get(), 1, &v, nullptr), kSOk);
  EXPECT_EQ(nameOf(v.dispatchValue()), u"old0");

  // A refresh in the middle of a for-each: the loop goes on over the old
  // elements, the list shows the new ones.
  level.get(u"Fill", {Variant::fromLong(1), str(u"new")});
  EXPECT_EQ(level.child(0).name(), u"new0");
  ASSERT_EQ(slotOf<EnumNextFn>(e.get(), slots::kEnumNext)(e.get(), 1, &v, nullptr), kSOk);
  EXPECT_EQ(v.dispatchValue(), kept.ptr());

  // The list itself goes; its element and the enumerator stay usable.
  level = Obj(nullptr);
  EXPECT_EQ(kept.name(), u"old1");
  ASSERT_EQ(slotOf<EnumNextFn>(e.get(), slots::kEnumNext)(e.get(), 1, &v, nullptr), kSOk);
  EXPECT_EQ(nameOf(v.dispatchValue()), u"old2");
  EXPECT_EQ(slotOf<EnumNextFn>(e.get(), slots::kEnumNext)(e.get(), 1, &v, nullptr), kSFalse);
}

TEST_F(ObjectLists, ADroppedListRaises91UntilTheNextFill) {
  level.get(u"Fill", {Variant::fromLong(2), str(u"n")});
  const Obj kept = level.child(0);
  level.get(u"Drop");
  for (auto [member, args] : {std::pair{u"Count", std::vector<Variant>{}},
                              std::pair{u"Item", std::vector<Variant>{Variant::fromLong(0)}},
                              std::pair{u"NewEnum", std::vector<Variant>{}}}) {
    const CallError e = level.fail(member, args);
    EXPECT_EQ(e.hr, 0x800A005Bu) << std::string(member, member + 5);
    EXPECT_EQ(e.record.source, u"TestLevel");
    EXPECT_EQ(e.record.description, u"Object variable or With block variable not set");
  }
  EXPECT_EQ(kept.name(), u"n0");
  level.get(u"Fill", {Variant::fromLong(1), str(u"again")});
  EXPECT_EQ(level.get(u"Count").longValue(), 1);
  level.get(u"Drop");
  level.get(u"FillLazily", {Variant::fromLong(1), str(u"lazy")});
  EXPECT_EQ(level.child(0).name(), u"lazy0");
}

TEST_F(ObjectLists, LazyElementsAreMadeOnceOnTheirFirstRequest) {
  TestLevel::nodesMade = 0;
  level.get(u"FillLazily", {Variant::fromLong(1000), str(u"f")});
  EXPECT_EQ(level.get(u"Count").longValue(), 1000);
  EXPECT_EQ(TestLevel::nodesMade, 0);
  const Variant a = level.item(500);
  EXPECT_EQ(a.dispatchValue(), level.item(500).dispatchValue());
  EXPECT_EQ(nameOf(a.dispatchValue()), u"f500");
  EXPECT_EQ(TestLevel::nodesMade, 1);
  const auto all = forEach(level);
  ASSERT_EQ(all.size(), 1000u);
  EXPECT_EQ(all[500].get(), a.dispatchValue());
  EXPECT_EQ(nameOf(all[999].get()), u"f999");
  EXPECT_EQ(TestLevel::nodesMade, 1000);

  // The list's own code sees the same objects.
  auto* own = objectOf<TestLevel>(level.ptr());
  EXPECT_EQ(own->node(500).dispatch(), a.dispatchValue());
}

TEST_F(ObjectLists, EnumeratorSkipsAndClones) {
  // Made while the list is empty, it keeps walking that empty list.
  const Variant ev = level.get(u"NewEnum");
  level.get(u"Fill", {Variant::fromLong(3), str(u"later")});
  ComPtr<EnumVariant> e;
  ASSERT_EQ(queryInterface(ev.unknownValue(), kIidEnumVariant, e.putVoid()), kSOk);
  Variant batch[2];
  std::uint32_t fetched = 9;
  EXPECT_EQ(slotOf<EnumNextFn>(e.get(), slots::kEnumNext)(e.get(), 2, batch, &fetched), kSFalse);
  EXPECT_EQ(fetched, 0u);

  level.get(u"Fill", {Variant::fromLong(4), str(u"s")});
  const Variant ev2 = level.get(u"NewEnum");
  ComPtr<EnumVariant> e2;
  ASSERT_EQ(queryInterface(ev2.unknownValue(), kIidEnumVariant, e2.putVoid()), kSOk);
  EXPECT_EQ(slotOf<EnumSkipFn>(e2.get(), slots::kEnumSkip)(e2.get(), 1), kSOk);
  ComPtr<EnumVariant> copy;
  ASSERT_EQ(slotOf<EnumCloneFn>(e2.get(), slots::kEnumClone)(e2.get(), copy.put()), kSOk);
  EXPECT_EQ(slotOf<EnumNextFn>(e2.get(), slots::kEnumNext)(e2.get(), 2, batch, &fetched), kSOk);
  EXPECT_EQ(nameOf(batch[1].dispatchValue()), u"s2");
  EXPECT_EQ(slotOf<EnumNextFn>(copy.get(), slots::kEnumNext)(copy.get(), 1, batch, &fetched), kSOk);
  EXPECT_EQ(nameOf(batch[0].dispatchValue()), u"s1");
  EXPECT_EQ(slotOf<EnumSkipFn>(e2.get(), slots::kEnumSkip)(e2.get(), 5), kSFalse);
  EXPECT_EQ(slotOf<EnumResetFn>(e2.get(), slots::kEnumReset)(e2.get()), kSOk);
  EXPECT_EQ(slotOf<EnumNextFn>(e2.get(), slots::kEnumNext)(e2.get(), 1, batch, &fetched), kSOk);
  EXPECT_EQ(nameOf(batch[0].dispatchValue()), u"s0");
  EXPECT_EQ(slotOf<EnumNextFn>(e2.get(), slots::kEnumNext)(e2.get(), 1, nullptr, &fetched), kEPointer);
}

}  // namespace
}  // namespace tovtest

namespace tovtest {
namespace {

TEST(ObjectListMaking, AnElementThatCannotBeMadeFailsItsRequestAndIsTriedAgain) {
  int attempts = 0;
  ObjectList<TestNode> list(u"Direct");
  list.assign(3, [&](std::int32_t i) {
    if (i == 1 && attempts++ < 2) tov::raiseError(tov::errors::kOutOfMemory, u"Maker");
    return makeDispatch<TestNode>(u"m" + std::u16string(1, static_cast<char16_t>(u'0' + i)));
  });
  ComPtr<Unknown> ev = list.newEnum();
  ComPtr<EnumVariant> e;
  ASSERT_EQ(queryInterface(ev.get(), kIidEnumVariant, e.putVoid()), kSOk);
  Variant v[3];
  std::uint32_t fetched = 0;
  // The batch stops before the failing element and hands over the one made.
  EXPECT_EQ(slotOf<EnumNextFn>(e.get(), slots::kEnumNext)(e.get(), 3, v, &fetched), kSFalse);
  EXPECT_EQ(fetched, 1u);
  EXPECT_EQ(nameOf(v[0].dispatchValue()), u"m0");
  EXPECT_EQ(slotOf<EnumNextFn>(e.get(), slots::kEnumNext)(e.get(), 1, v, &fetched), 0x800A0007u);
  const CallError error = errorOfFailedCall(e.get(), 0x800A0007u);
  EXPECT_EQ(error.record.source, u"Maker");
  // The failed element is asked for again, and made this time.
  EXPECT_EQ(nameOf(list.item(1).get()), u"m1");
  EXPECT_EQ(slotOf<EnumNextFn>(e.get(), slots::kEnumNext)(e.get(), 2, v, &fetched), kSOk);
  EXPECT_EQ(nameOf(v[0].dispatchValue()), u"m1");
  EXPECT_EQ(nameOf(v[1].dispatchValue()), u"m2");
  EXPECT_EQ(list.at(1).Name(), u"m1");

  list.assign(-5, nullptr);
  EXPECT_EQ(list.count(), 0);
}

}  // namespace
}  // namespace tovtest
