// tovFoundedFiles, FoundedFile and IFindFilesCallback as a client meets
// them through late binding: one object per entry, entries that outlive
// their level, callbacks by slot and by name, and their Cancel and errors.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "TempDir.h"
#include "TestClientClasses.h"
#include "automation/DispatchClient.h"
#include "automation/ModuleUsage.h"
#include "fileio/dispatch/IFindFilesCallbackDispatch.h"
#include "fileio/dispatch/tovFoundedFilesDispatch.h"

namespace tovtest {
namespace {

namespace fs = std::filesystem;

// Runs the test from inside the tree, so the search's Paths are short
// relative names a callback can answer to.
class InDirectory {
 public:
  explicit InDirectory(const fs::path& where) : before_(fs::current_path()) { fs::current_path(where); }
  ~InDirectory() { fs::current_path(before_); }

 private:
  fs::path before_;
};

class FoundFilesThroughTheFrame : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(dir / "stop" / "inner");
    writeBytes(dir / "stop" / "inner" / "x.txt", "xx");
    writeBytes(dir / "stop" / "top.txt", "t");
    fs::create_directories(dir / "fail" / "inner");
  }

  Variant call(const ComPtr<Dispatch>& object, std::u16string_view member, std::vector<Variant> args = {},
               CallError* error = nullptr) {
    Variant result;
    CallError own;
    const HResult hr = DispatchClient(object).call(member, args, {}, &result, error ? error : &own);
    if (!error) {
      EXPECT_TRUE(succeeded(hr)) << std::string(member.begin(), member.end());
    }
    return result;
  }
  ComPtr<Dispatch> object(const Variant& v) { return ComPtr<Dispatch>(v.dispatchValue()); }
  Variant refreshEx(std::u16string path, Variant callback = Variant::missing(), bool withParent = false,
                    CallError* error = nullptr) {
    return call(files, u"RefreshEx2",
                {Variant::fromString(std::move(path)), Variant::fromString(u"*"), Variant::fromBool(false),
                 std::move(callback), Variant::fromBool(withParent)},
                error);
  }

  TempDir dir{"dispatch"};
  InDirectory inside{dir.path()};
  ComPtr<Dispatch> files = tov::automation::makeDispatch<ferrule::tovFoundedFilesDispatch>();
};

TEST_F(FoundFilesThroughTheFrame, HandsOutOneObjectPerEntryThatOutlivesItsLevel) {
  ASSERT_TRUE(isTrue(refreshEx(u"stop").boolValue()));
  EXPECT_EQ(call(files, u"Count").longValue(), 2);
  const ComPtr<Dispatch> inner = object(call(files, u"Item", {Variant::fromLong(0)}));
  EXPECT_EQ(inner.get(), object(call(files, u"Item", {Variant::fromLong(0)})).get());
  const ComPtr<Dispatch> childs = object(call(inner, u"Childs"));
  EXPECT_EQ(childs.get(), object(call(inner, u"Childs")).get());
  EXPECT_EQ(call(childs, u"Path").stringValue(), u"stop/inner");

  CallError error;
  call(files, u"Item", {Variant::fromLong(2)}, &error);
  EXPECT_EQ(error.record.number, 9);
  EXPECT_EQ(error.record.source, u"tovFoundedFiles");

  // Refreshed elsewhere and released: what was handed out stays as found.
  ASSERT_TRUE(isTrue(refreshEx(u"fail").boolValue()));
  files = nullptr;
  EXPECT_EQ(call(inner, u"FileName").stringValue(), u"inner");
  EXPECT_EQ(call(inner, u"FileSize").doubleValue(), 2.0);
  const ComPtr<Dispatch> below = object(call(childs, u"Item", {Variant::fromLong(0)}));
  EXPECT_EQ(call(below, u"FileName").stringValue(), u"x.txt");
}

TEST_F(FoundFilesThroughTheFrame, AnswersBooleansDatesAndAttributesInTheirAutomationTypes) {
  ASSERT_TRUE(isTrue(refreshEx(u"stop").boolValue()));
  const ComPtr<Dispatch> inner = object(call(files, u"Item", {Variant::fromLong(0)}));
  const ComPtr<Dispatch> top = object(call(files, u"Item", {Variant::fromLong(1)}));
  EXPECT_EQ(call(inner, u"AttributeDirectory").boolValue(), VariantBool::True);
  EXPECT_EQ(static_cast<int>(call(inner, u"AttributeDirectory").boolValue()), -1);
  EXPECT_EQ(call(top, u"AttributeDirectory").boolValue(), VariantBool::False);
  EXPECT_EQ(call(top, u"AttributeArchive").boolValue(), VariantBool::True);
  EXPECT_EQ(call(top, u"FileAttributes").longValue(), 0x20);
  EXPECT_EQ(call(top, u"LastWriteTime").type(), tov::automation::VarType::Date);
  EXPECT_GT(call(top, u"LastWriteTime").dateValue().value, 40000.0);  // after 2009
  EXPECT_EQ(call(top, u"AlternateFileName").stringValue(), u"");
  EXPECT_EQ(call(top, u"Path").stringValue(), u"stop");
  EXPECT_EQ(call(files, u"Size").doubleValue(), 3.0);
  EXPECT_EQ(call(files, u"HasSubItems").boolValue(), VariantBool::True);
}

TEST_F(FoundFilesThroughTheFrame, CallsBackByNameAndStopsAtTheClientsCancel) {
  // "stop" is the level inside the one entry of the parent form: its
  // Cancel empties the starting level.
  ComPtr<Dispatch> named = makeDispatch<TestNamedCallback>();
  const Variant result = refreshEx(u"stop", Variant::fromDispatch(named), true);
  EXPECT_EQ(result.boolValue(), VariantBool::False);
  EXPECT_EQ(objectOf<TestNamedCallback>(named.get())->seen, (std::vector<std::u16string>{u"stop/inner", u"stop"}));
  EXPECT_EQ(call(files, u"Count").longValue(), 0);
  EXPECT_EQ(call(files, u"HasSubItems").boolValue(), VariantBool::False);
}

TEST_F(FoundFilesThroughTheFrame, PassesTheCallbacksErrorToTheClient) {
  ComPtr<Dispatch> named = makeDispatch<TestNamedCallback>();
  CallError error;
  refreshEx(u"fail", Variant::fromDispatch(named), false, &error);
  EXPECT_EQ(error.record.number, 53);
  EXPECT_EQ(call(files, u"Count").longValue(), 0);

  refreshEx(u"stop", Variant::fromString(u"not an object"), false, &error);
  EXPECT_EQ(error.record.number, 13);
}

TEST_F(FoundFilesThroughTheFrame, TakesTheLibrarysOwnCallbackByItsSlotAndRunsToTheEnd) {
  ComPtr<Dispatch> own = makeDispatch<ferrule::IFindFilesCallbackDispatch>();
  EXPECT_TRUE(isTrue(refreshEx(u"stop", Variant::fromDispatch(own), true).boolValue()));
  EXPECT_EQ(call(files, u"Count").longValue(), 1);
  // Nothing or an omitted callback is no callback.
  EXPECT_TRUE(isTrue(refreshEx(u"stop", Variant::fromDispatch(ComPtr<Dispatch>())).boolValue()));
  EXPECT_TRUE(isTrue(call(files, u"Refresh", {Variant::fromString(u"stop"), Variant::fromString(u"*.txt")}).boolValue()));
  EXPECT_EQ(call(files, u"Count").longValue(), 1);
}

}  // namespace
}  // namespace tovtest
