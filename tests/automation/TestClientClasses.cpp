#include "TestClientClasses.h"

#include <algorithm>

#include "automation/Collection.h"
#include "fileio/dispatch/FindFilesCallback.h"

namespace tovtest {
namespace {

TypeLibraryDescription build() {
  const TypeRef kString{TypeKind::String, {}};
  const TypeRef kCallback{TypeKind::Object, u"IFindFilesCallback"};
  TypeLibraryDescription lib;
  lib.name = u"TovTest";
  lib.libid = makeGuid("5C6D7E8F-9A0B-4C1D-8E2F-3A4B5C6D7E8F");
  lib.majorVersion = 1;
  InterfaceDescription source{u"_TestCallbackSource", kIidTestCallbackSource, kInterfaceDual, {}, {}};
  source.members = {
      {1, u"Notify", kMemberDispIdBase + 1, MemberKind::Method,
       {{u"Path", kString}, {u"CallBackObject", kCallback, true, std::nullopt, false}}, {TypeKind::Boolean, {}}, {},
       0},
      {2, u"Walk", kMemberDispIdBase + 2, MemberKind::Method,
       {{u"Paths", kString}, {u"CallBackObject", kCallback, true, std::nullopt, false}}, {TypeKind::Long, {}}, {}, 0},
  };
  InterfaceDescription named{u"_TestNamedCallback", kIidTestNamedCallback, kInterfaceDual, {}, {}};
  named.members = {
      {1, u"DirectoryCompleted", kMemberDispIdBase + 1, MemberKind::Method,
       {{u"Path", kString}, {u"Cancel", {TypeKind::Boolean, {}}, false, std::nullopt, true}}, {}, {}, 0},
  };
  const TypeRef kObject{TypeKind::Object, {}};
  InterfaceDescription results{u"_TestResults", kIidTestResults, kInterfaceDual, {}, {}};
  results.members = {
      {1, u"Words", kMemberDispIdBase + 1, MemberKind::Method, {{u"Text", kString}}, kObject, {}, 0},
      {2, u"Value", kMemberDispIdBase + 2, MemberKind::Method, {{u"Text", kString}}, kObject, {}, 0},
      {3, u"Nested", kMemberDispIdBase + 3, MemberKind::Method, {{u"Text", kString}}, kObject, {}, 0},
      {4, u"AsDate", kMemberDispIdBase + 4, MemberKind::Method, {{u"Value", {TypeKind::Double, {}}}},
       {TypeKind::Date, {}}, {}, 0},
  };
  InterfaceDescription value{u"_TestValue", kIidTestValue, kInterfaceDual, {}, {}};
  value.members = {{1, u"Text", kDispIdValue, MemberKind::PropertyGet, {}, kString, {}, kMemberDefault}};
  lib.interfaces.push_back(std::move(source));
  lib.interfaces.push_back(std::move(named));
  lib.interfaces.push_back(std::move(results));
  lib.interfaces.push_back(std::move(value));
  lib.classes.push_back({u"TestCallbackSource", kClsidTestCallbackSource, u"_TestCallbackSource", kClassCreatable, {}});
  lib.classes.push_back({u"TestResults", kClsidTestResults, u"_TestResults", kClassCreatable, {}});
  return lib;
}

const InterfaceBinding& sourceBinding() {
  using T = TestCallbackSource;
  static const InterfaceBinding binding(clientTypeLibrary(), u"_TestCallbackSource",
                                        {bindSlot<&T::Notify>(), bindSlot<&T::Walk>()});
  return binding;
}

const InterfaceBinding& namedBinding() {
  static const InterfaceBinding binding(clientTypeLibrary(), u"_TestNamedCallback",
                                        {bindSlot<&TestNamedCallback::DirectoryCompleted>()});
  return binding;
}

const InterfaceBinding& resultsBinding() {
  using T = TestResults;
  static const InterfaceBinding binding(clientTypeLibrary(), u"_TestResults",
                                        {bindSlot<&T::Words>(), bindSlot<&T::Value>(), bindSlot<&T::Nested>(),
                                         bindSlot<&T::AsDate>()});
  return binding;
}

const InterfaceBinding& valueBinding() {
  static const InterfaceBinding binding(clientTypeLibrary(), u"_TestValue", {bindSlot<&TestValue::Text>()});
  return binding;
}

}  // namespace

const TypeLibraryDescription& clientTypeLibrary() {
  static const TypeLibraryDescription lib = build();
  return lib;
}

TestCallbackSource::TestCallbackSource() : DispatchObject(sourceBinding(), u"TestCallbackSource") {}

HResult TestCallbackSource::create(const Guid& iid, void** out) { return createObject<TestCallbackSource>(iid, out); }

VariantBool TestCallbackSource::Notify(std::u16string_view Path, const Variant& CallBackObject) {
  const ferrule::FindFilesCallback callback(CallBackObject);
  // What a search core gets: a plain function, empty without a callback.
  const std::function<bool(std::u16string_view)> completed = callback.function();
  return tov::automation::toVariantBool(completed && completed(Path));
}

std::int32_t TestCallbackSource::Walk(std::u16string_view Paths, const Variant& CallBackObject) {
  const ferrule::FindFilesCallback callback(CallBackObject);
  std::int32_t calls = 0;
  for (std::size_t start = 0; callback;) {
    const std::size_t bar = Paths.find(u'|', start);
    ++calls;
    if (callback.directoryCompleted(Paths.substr(start, bar - start)) || bar == std::u16string_view::npos) break;
    start = bar + 1;
  }
  return calls;
}

TestResults::TestResults() : DispatchObject(resultsBinding(), u"TestResults") {}

HResult TestResults::create(const Guid& iid, void** out) { return createObject<TestResults>(iid, out); }

ComPtr<Dispatch> TestResults::Words(std::u16string_view Text) {
  ComPtr<Dispatch> words = Collection::create();
  auto* c = objectOf<Collection>(words.get());
  for (std::size_t start = 0; start <= Text.size();) {
    const std::size_t space = std::min(Text.find(u' ', start), Text.size());
    c->append(Variant::fromString(std::u16string(Text.substr(start, space - start))));
    start = space + 1;
  }
  return words;
}

ComPtr<Dispatch> TestResults::Value(std::u16string_view Text) { return makeDispatch<TestValue>(std::u16string(Text)); }

ComPtr<Dispatch> TestResults::Nested(std::u16string_view Text) {
  ComPtr<Dispatch> outer = Words(Text);
  auto* c = objectOf<Collection>(outer.get());
  c->append(Variant::fromDispatch(Words(Text)));
  c->append(Variant::fromDispatch(Value(Text)));
  return outer;
}

TestValue::TestValue(std::u16string text) : DispatchObject(valueBinding(), u"TestValue"), text_(std::move(text)) {}

TestNamedCallback::TestNamedCallback() : DispatchObject(namedBinding(), u"TestNamedCallback") {}

void TestNamedCallback::DirectoryCompleted(std::u16string_view Path, VariantBool* Cancel) {
  seen.emplace_back(Path);
  if (Path == u"fail") throw tov::RuntimeError({53, u"TestNamedCallback", u"File not found", u"cb.chm", 7});
  if (Path == u"stop") *Cancel = VariantBool::True;
}

}  // namespace tovtest
