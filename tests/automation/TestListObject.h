#pragma once
// A test-only class shaped like the library's list classes (0-based Item
// over an inner Collection, Count, NewEnum) with a few members that
// exercise late binding: optional parameters with and without defaults,
// by-reference arguments, Booleans and raised errors.
#include "automation/DispatchObject.h"
#include "automation/ZeroBasedList.h"

namespace tovtest {

using namespace tov::automation;

inline constexpr Guid kIidTestList = makeGuid("3D4F0C1E-2B6A-4C7D-9E8F-0A1B2C3D4E5F");
inline constexpr Guid kClsidTestList = makeGuid("5E6F7A8B-9C0D-4E1F-8A2B-3C4D5E6F7A8B");

const TypeLibraryDescription& testTypeLibrary();

class TestListObject : public DispatchObject {
 public:
  TestListObject();
  static ComPtr<Dispatch> create();

  std::int32_t Count() const { return list_.count(); }
  Variant Item(std::int32_t Index) const { return list_.item(Index); }
  ComPtr<Unknown> NewEnum() const { return list_.newEnum(); }
  void Fill(std::int32_t Size);
  std::u16string Describe(std::u16string_view Text, std::int32_t Times, const Variant& Extra, VariantBool Flag);
  void Bump(std::int32_t* Value);
  VariantBool IsPositive(std::int32_t Value) { return toVariantBool(Value > 0); }
  void Fail(std::int32_t Number);

 private:
  ZeroBasedList list_;
};

}  // namespace tovtest
