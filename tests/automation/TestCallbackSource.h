#pragma once
// Test-only classes for client callbacks, in a type library of their own
// ("TovTest", served by a test-only component library as well):
// TestCallbackSource calls back the IFindFilesCallback a client hands it,
// the way the search does; TestNamedCallback is a client's callback object
// that answers only by name.
#include <string>
#include <vector>

#include "automation/DispatchObject.h"

namespace tovtest {

using namespace tov::automation;

inline constexpr Guid kIidTestCallbackSource = makeGuid("0E5B7C4A-3F21-4D8E-9A6B-1C2D3E4F5A6B");
inline constexpr Guid kClsidTestCallbackSource = makeGuid("8A1B2C3D-4E5F-4061-8273-94A5B6C7D8E9");
inline constexpr Guid kIidTestNamedCallback = makeGuid("2F3E4D5C-6B7A-4891-A0B1-C2D3E4F5A6B7");

const TypeLibraryDescription& callbackTypeLibrary();

class TestCallbackSource : public DispatchObject {
 public:
  TestCallbackSource();
  static HResult create(const Guid& iid, void** out);

  // Calls DirectoryCompleted(Path, Cancel) once through the search's
  // callback helper and returns the Cancel the client left (False without
  // a callback).
  VariantBool Notify(std::u16string_view Path, const Variant& CallBackObject);
  // Calls back for each "|"-separated path until the client cancels;
  // returns how many calls were made.
  std::int32_t Walk(std::u16string_view Paths, const Variant& CallBackObject);
};

class TestNamedCallback : public DispatchObject {
 public:
  TestNamedCallback();

  // Records the path; cancels at "stop"; raises error 53 at "fail".
  void DirectoryCompleted(std::u16string_view Path, VariantBool* Cancel);

  std::vector<std::u16string> seen;
};

}  // namespace tovtest
