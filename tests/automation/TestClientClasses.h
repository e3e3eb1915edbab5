#pragma once
// Test-only classes for the clients, in a type library of their own
// ("TovTest", served by a test-only component library as well):
// TestCallbackSource calls back the IFindFilesCallback a client hands it,
// the way the search does; TestNamedCallback is a client's callback object
// that answers only by name; TestResults hands out object results (a
// collection, an object with a default value) for the clients to print.
#include <string>
#include <vector>

#include "automation/DispatchObject.h"

namespace tovtest {

using namespace tov::automation;

inline constexpr Guid kIidTestCallbackSource = makeGuid("0E5B7C4A-3F21-4D8E-9A6B-1C2D3E4F5A6B");
inline constexpr Guid kClsidTestCallbackSource = makeGuid("8A1B2C3D-4E5F-4061-8273-94A5B6C7D8E9");
inline constexpr Guid kIidTestNamedCallback = makeGuid("2F3E4D5C-6B7A-4891-A0B1-C2D3E4F5A6B7");
inline constexpr Guid kIidTestResults = makeGuid("4A5B6C7D-8E9F-4A0B-9C1D-2E3F4A5B6C7D");
inline constexpr Guid kClsidTestResults = makeGuid("6C7D8E9F-0A1B-4C2D-8E3F-4A5B6C7D8E9F");
inline constexpr Guid kIidTestValue = makeGuid("7D8E9F0A-1B2C-4D3E-9F4A-5B6C7D8E9F0A");

const TypeLibraryDescription& clientTypeLibrary();

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

class TestResults : public DispatchObject {
 public:
  TestResults();
  static HResult create(const Guid& iid, void** out);

  // The words of Text (split at spaces) in a runtime Collection.
  ComPtr<Dispatch> Words(std::u16string_view Text);
  // An object whose default member is Text.
  ComPtr<Dispatch> Value(std::u16string_view Text);
  // A Collection holding the words of Text, a Collection and a Value.
  ComPtr<Dispatch> Nested(std::u16string_view Text);
  // The number as a date, whatever it is.
  Date AsDate(double Value) { return Date{Value}; }
};

class TestValue : public DispatchObject {
 public:
  explicit TestValue(std::u16string text);
  std::u16string Text() const { return text_; }

 private:
  std::u16string text_;
};

class TestNamedCallback : public DispatchObject {
 public:
  TestNamedCallback();

  // Records the path; cancels at "stop"; raises error 53 at "fail".
  void DirectoryCompleted(std::u16string_view Path, VariantBool* Cancel);

  std::vector<std::u16string> seen;
};

}  // namespace tovtest
