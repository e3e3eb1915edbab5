#include "TestCallbackSource.h"

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
  lib.interfaces.push_back(std::move(source));
  lib.interfaces.push_back(std::move(named));
  lib.classes.push_back({u"TestCallbackSource", kClsidTestCallbackSource, u"_TestCallbackSource", kClassCreatable, {}});
  return lib;
}

const InterfaceBinding& sourceBinding() {
  using T = TestCallbackSource;
  static const InterfaceBinding binding(callbackTypeLibrary(), u"_TestCallbackSource",
                                        {bindSlot<&T::Notify>(), bindSlot<&T::Walk>()});
  return binding;
}

const InterfaceBinding& namedBinding() {
  static const InterfaceBinding binding(callbackTypeLibrary(), u"_TestNamedCallback",
                                        {bindSlot<&TestNamedCallback::DirectoryCompleted>()});
  return binding;
}

}  // namespace

const TypeLibraryDescription& callbackTypeLibrary() {
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

TestNamedCallback::TestNamedCallback() : DispatchObject(namedBinding(), u"TestNamedCallback") {}

void TestNamedCallback::DirectoryCompleted(std::u16string_view Path, VariantBool* Cancel) {
  seen.emplace_back(Path);
  if (Path == u"fail") throw tov::RuntimeError({53, u"TestNamedCallback", u"File not found", u"cb.chm", 7});
  if (Path == u"stop") *Cancel = VariantBool::True;
}

}  // namespace tovtest
