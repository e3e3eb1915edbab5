// tovFileStreams and FileStream through late binding, as a script meets
// them: the optional ProcessSecurity, Item and for-each over the same
// objects, Booleans as -1, a failed read leaving a usable empty list, and
// stream objects that outlive their list.
#include <gtest/gtest.h>
#include <sys/xattr.h>

#include "TempDir.h"
#include "automation/DispatchClient.h"
#include "automation/ModuleUsage.h"
#include "fileio/dispatch/tovFileStreamsDispatch.h"

namespace tovtest {
namespace {

using namespace tov::automation;

Variant str(const std::u16string& s) { return Variant::fromString(s); }

struct Obj {
  DispatchClient client;

  explicit Obj(ComPtr<Dispatch> p) : client(std::move(p)) {}
  Variant get(std::u16string_view member, std::vector<Variant> args = {}) const {
    Variant r;
    CallError e;
    EXPECT_EQ(client.call(member, args, {}, &r, &e), kSOk) << std::string(member.begin(), member.end());
    return r;
  }
  CallError fail(std::u16string_view member, std::vector<Variant> args = {}) const {
    CallError e;
    Variant r;
    EXPECT_TRUE(failed(client.call(member, args, {}, &r, &e)));
    return e;
  }
  Obj item(std::int32_t i) const { return Obj(ComPtr<Dispatch>(get(u"Item", {Variant::fromLong(i)}).dispatchValue())); }
  std::u16string text(std::u16string_view member) const { return get(member).stringValue(); }
  int boolean(std::u16string_view member) const { return static_cast<int>(get(member).boolValue()); }
};

std::vector<ComPtr<Dispatch>> forEach(const Obj& list) {
  Variant ev = list.get(u"NewEnum");
  ComPtr<EnumVariant> e;
  EXPECT_EQ(queryInterface(ev.unknownValue(), kIidEnumVariant, e.putVoid()), kSOk);
  std::vector<ComPtr<Dispatch>> out;
  Variant v;
  while (slotOf<EnumNextFn>(e.get(), slots::kEnumNext)(e.get(), 1, &v, nullptr) == kSOk) out.emplace_back(v.dispatchValue());
  return out;
}

Obj createStreams() {
  ComPtr<Dispatch> p;
  EXPECT_EQ(ferrule::tovFileStreamsDispatch::create(kIidDispatch, p.putVoid()), kSOk);
  return Obj(std::move(p));
}

class FileStreamsDispatch : public ::testing::Test {
 protected:
  void SetUp() override {
    writeBytes(file_, "data");
    const std::string value("zone\0", 5);
    ASSERT_EQ(::setxattr(file_.c_str(), "user.DosStream.Zone.Identifier:$DATA", value.data(), value.size(), 0), 0);
  }
  void TearDown() override { EXPECT_EQ(ModuleUsage::objects(), objectsBefore_); }

  std::size_t objectsBefore_ = ModuleUsage::objects();
  TempDir dir_{"streams-dispatch"};
  std::filesystem::path file_ = dir_ / "f.txt";
};

TEST_F(FileStreamsDispatch, ListsStreamsWithTheirMembersAndBooleansAsMinusOne) {
  const Obj streams = createStreams();
  EXPECT_EQ(streams.get(u"Count").longValue(), 0) << "a new object has an empty list";
  EXPECT_EQ(static_cast<int>(streams.get(u"ReadFileStreams", {str(u16(file_))}).boolValue()), -1)
      << "ProcessSecurity may be left out";
  ASSERT_EQ(streams.get(u"Count").longValue(), 2);
  const Obj data = streams.item(0);
  EXPECT_EQ(data.text(u"Name"), u"::$DATA");
  EXPECT_EQ(data.get(u"Size").doubleValue(), 4.0);
  EXPECT_EQ(data.boolean(u"StreamIDData"), -1);
  EXPECT_EQ(data.boolean(u"StreamIDAlternateData"), 0);
  const Obj zone = streams.item(1);
  EXPECT_EQ(zone.get(u"StreamID").longValue(), 4);
  EXPECT_EQ(zone.text(u"ShortName"), u"Zone.Identifier");
  EXPECT_EQ(zone.get(u"Size").doubleValue(), 4.0);

  const auto visited = forEach(streams);
  ASSERT_EQ(visited.size(), 2u);
  EXPECT_EQ(visited[0].get(), data.client.get()) << "for-each hands out the objects Item gives";
  EXPECT_EQ(visited[1].get(), zone.client.get());
  EXPECT_EQ(streams.fail(u"Item", {Variant::fromLong(2)}).record.number, 9);
  EXPECT_EQ(streams.fail(u"Item", {Variant::fromLong(-1)}).record.number, 9);

  EXPECT_EQ(static_cast<int>(streams.get(u"ReadFileStreams", {str(u16(file_)), Variant::fromBool(true)}).boolValue()),
            -1);
  ASSERT_EQ(streams.get(u"Count").longValue(), 3);
  const Obj security = streams.item(1);
  EXPECT_EQ(security.boolean(u"StreamIDSecurityData"), -1);
  EXPECT_EQ(security.boolean(u"AttributeContainsSecurity"), -1);
  EXPECT_EQ(security.text(u"Name"), u"");
  EXPECT_EQ(zone.text(u"Name"), u":Zone.Identifier:$DATA") << "an old stream object keeps its values";
}

TEST_F(FileStreamsDispatch, AFailedReadLeavesAnEmptyListThatStillAnswers) {
  const Obj streams = createStreams();
  ASSERT_EQ(static_cast<int>(streams.get(u"ReadFileStreams", {str(u16(file_))}).boolValue()), -1);
  const Obj kept = streams.item(1);
  EXPECT_EQ(static_cast<int>(streams.get(u"ReadFileStreams", {str(u16(dir_ / "missing"))}).boolValue()), 0);
  EXPECT_EQ(streams.get(u"Count").longValue(), 0);
  EXPECT_EQ(streams.fail(u"Item", {Variant::fromLong(0)}).record.number, 9) << "out of range, not 91";
  EXPECT_TRUE(forEach(streams).empty());
  EXPECT_EQ(kept.text(u"ShortName"), u"Zone.Identifier");
}

TEST_F(FileStreamsDispatch, ProcessSecurityTakesWhatConvertsToABoolean) {
  const Obj streams = createStreams();
  EXPECT_EQ(static_cast<int>(streams.get(u"ReadFileStreams", {str(u16(file_)), str(u"True")}).boolValue()), -1);
  EXPECT_EQ(streams.get(u"Count").longValue(), 3);
  EXPECT_EQ(static_cast<int>(streams.get(u"ReadFileStreams", {str(u16(file_)), Variant::fromLong(0)}).boolValue()), -1);
  EXPECT_EQ(streams.get(u"Count").longValue(), 2);
  EXPECT_EQ(streams.fail(u"ReadFileStreams", {str(u16(file_)), str(u"perhaps")}).record.number, 13);
  EXPECT_EQ(streams.get(u"Count").longValue(), 2) << "a bad argument reads nothing";
}

}  // namespace
}  // namespace tovtest
