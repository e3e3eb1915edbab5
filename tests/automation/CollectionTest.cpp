// The runtime Collection (from 1, keys, for-each) and the 0-based list face
// the library's list classes show over it (through a test-only list class).
#include <gtest/gtest.h>

#include "TestListObject.h"
#include "automation/Collection.h"
#include "automation/DispatchClient.h"

namespace tovtest {
namespace {

Variant str(std::u16string s) { return Variant::fromString(std::move(s)); }

std::vector<std::u16string> forEach(const Variant& enumerator) {
  ComPtr<EnumVariant> e;
  EXPECT_EQ(queryInterface(enumerator.unknownValue(), kIidEnumVariant, e.putVoid()), kSOk);
  std::vector<std::u16string> out;
  Variant item;
  std::uint32_t fetched = 0;
  while (slotOf<EnumNextFn>(e.get(), slots::kEnumNext)(e.get(), 1, &item, &fetched) == kSOk) {
    out.push_back(item.stringValue());
  }
  return out;
}

class CollectionBehaviour : public ::testing::Test {
 protected:
  ComPtr<Dispatch> object = Collection::create();
  DispatchClient client{object};

  HResult call(std::u16string_view member, std::vector<Variant> args, Variant* r = nullptr, CallError* e = nullptr) {
    return client.call(member, args, {}, r, e);
  }
  void add(std::u16string item, std::u16string key = {}) {
    ASSERT_EQ(call(u"Add", {str(item), key.empty() ? Variant::missing() : str(key)}), kSOk);
  }
  std::vector<std::u16string> members() {
    Variant e;
    EXPECT_EQ(call(u"_NewEnum", {}, &e), kSOk);
    return forEach(e);
  }
};

TEST_F(CollectionBehaviour, NumbersFromOneAndFindsKeysWithoutLetterCase) {
  add(u"a", u"Первый");
  add(u"b");
  add(u"c", u"third");
  Variant r;
  ASSERT_EQ(call(u"Item", {Variant::fromLong(1)}, &r), kSOk);
  EXPECT_EQ(r.stringValue(), u"a");
  ASSERT_EQ(call(u"Item", {str(u"пЕРВЫЙ")}, &r), kSOk);
  EXPECT_EQ(r.stringValue(), u"a");
  ASSERT_EQ(call(u"Count", {}, &r), kSOk);
  EXPECT_EQ(r.longValue(), 3);
  CallError e;
  EXPECT_EQ(call(u"Item", {Variant::fromLong(0)}, nullptr, &e), 0x800A0009u);
  EXPECT_EQ(e.record.description, u"Subscript out of range");
  EXPECT_EQ(call(u"Item", {Variant::fromLong(4)}), 0x800A0009u);
  EXPECT_EQ(call(u"Item", {str(u"fourth")}), 0x800A0005u);
  EXPECT_EQ(call(u"Add", {str(u"d"), str(u"THIRD")}, nullptr, &e), 0x800A01C9u);
  EXPECT_EQ(e.record.number, 457);
  EXPECT_EQ(e.record.description, u"This key is already associated with an element of this collection");
}

TEST_F(CollectionBehaviour, InsertsBeforeOrAfterAndRemovesByPositionOrKey) {
  add(u"a", u"ka");
  add(u"c");
  ASSERT_EQ(call(u"Add", {str(u"b"), Variant::missing(), str(u"ka"), Variant::missing()}), kSOk);
  EXPECT_EQ(members(), (std::vector<std::u16string>{u"b", u"a", u"c"}));
  ASSERT_EQ(call(u"Add", {str(u"d"), Variant::missing(), Variant::missing(), Variant::fromLong(3)}), kSOk);
  EXPECT_EQ(members(), (std::vector<std::u16string>{u"b", u"a", u"c", u"d"}));
  EXPECT_EQ(call(u"Add", {str(u"x"), Variant::missing(), Variant::fromLong(1), Variant::fromLong(1)}), 0x800A0005u);
  ASSERT_EQ(call(u"Remove", {str(u"KA")}), kSOk);
  ASSERT_EQ(call(u"Remove", {Variant::fromLong(1)}), kSOk);
  EXPECT_EQ(members(), (std::vector<std::u16string>{u"c", u"d"}));
  // The removed key is free again.
  add(u"e", u"ka");
}

TEST_F(CollectionBehaviour, EnumeratorFetchesSkipsResetsAndClones) {
  for (auto s : {u"a", u"b", u"c", u"d"}) add(s);
  Variant ev;
  ASSERT_EQ(call(u"_NewEnum", {}, &ev), kSOk);
  ComPtr<EnumVariant> e;
  ASSERT_EQ(queryInterface(ev.unknownValue(), kIidEnumVariant, e.putVoid()), kSOk);
  Variant batch[3];
  std::uint32_t fetched = 0;
  EXPECT_EQ(slotOf<EnumNextFn>(e.get(), slots::kEnumNext)(e.get(), 3, batch, &fetched), kSOk);
  EXPECT_EQ(batch[2].stringValue(), u"c");
  ComPtr<EnumVariant> copy;
  ASSERT_EQ(slotOf<EnumCloneFn>(e.get(), slots::kEnumClone)(e.get(), copy.put()), kSOk);
  EXPECT_EQ(slotOf<EnumNextFn>(e.get(), slots::kEnumNext)(e.get(), 3, batch, &fetched), kSFalse);
  EXPECT_EQ(fetched, 1u);
  EXPECT_EQ(batch[0].stringValue(), u"d");
  EXPECT_EQ(slotOf<EnumNextFn>(copy.get(), slots::kEnumNext)(copy.get(), 1, batch, &fetched), kSOk);
  EXPECT_EQ(batch[0].stringValue(), u"d");
  EXPECT_EQ(slotOf<EnumResetFn>(e.get(), slots::kEnumReset)(e.get()), kSOk);
  EXPECT_EQ(slotOf<EnumSkipFn>(e.get(), slots::kEnumSkip)(e.get(), 5), kSFalse);
  EXPECT_EQ(slotOf<EnumNextFn>(e.get(), slots::kEnumNext)(e.get(), 1, batch, &fetched), kSFalse);
}

TEST_F(CollectionBehaviour, EnumeratorKeepsItsCollectionAlive) {
  add(u"only");
  Variant ev;
  ASSERT_EQ(call(u"_NewEnum", {}, &ev), kSOk);
  object.reset();
  client = DispatchClient(nullptr);
  EXPECT_EQ(forEach(ev), (std::vector<std::u16string>{u"only"}));
}

class ZeroBasedListFace : public ::testing::Test {
 protected:
  ComPtr<Dispatch> object = TestListObject::create();
  DispatchClient client{object};

  HResult item(std::int32_t index, Variant* r, CallError* e = nullptr) {
    const Variant args[] = {Variant::fromLong(index)};
    return client.invoke(kDispIdValue, kDispatchPropertyGet, args, {}, {}, r, e);
  }
};

TEST_F(ZeroBasedListFace, ItemCountsFromZeroAndFailsPastTheEnd) {
  ASSERT_EQ(client.call(u"Fill", std::vector<Variant>{Variant::fromLong(3)}, {}, nullptr, nullptr), kSOk);
  Variant count, r;
  ASSERT_EQ(client.call(u"Count", {}, {}, &count, nullptr), kSOk);
  ASSERT_EQ(count.longValue(), 3);
  ASSERT_EQ(item(0, &r), kSOk);
  EXPECT_EQ(r.stringValue(), u"item0");
  ASSERT_EQ(item(count.longValue() - 1, &r), kSOk);
  EXPECT_EQ(r.stringValue(), u"item2");
  CallError e;
  EXPECT_EQ(item(count.longValue(), &r, &e), 0x800A0009u);
  EXPECT_EQ(e.record.number, 9);
  EXPECT_EQ(e.record.source, u"TestList");
  EXPECT_EQ(item(-1, &r), 0x800A0009u);
  EXPECT_EQ(item(std::numeric_limits<std::int32_t>::max(), &r), 0x800A0009u);
}

TEST_F(ZeroBasedListFace, ForEachVisitsTheItemsInItemOrder) {
  ASSERT_EQ(client.call(u"Fill", std::vector<Variant>{Variant::fromLong(4)}, {}, nullptr, nullptr), kSOk);
  Variant ev;
  ASSERT_EQ(client.invoke(kDispIdNewEnum, kDispatchPropertyGet, {}, {}, {}, &ev, nullptr), kSOk);
  std::vector<std::u16string> byItem;
  for (std::int32_t i = 0; i < 4; ++i) {
    Variant r;
    ASSERT_EQ(item(i, &r), kSOk);
    byItem.push_back(r.stringValue());
  }
  EXPECT_EQ(forEach(ev), byItem);
}

}  // namespace
}  // namespace tovtest
