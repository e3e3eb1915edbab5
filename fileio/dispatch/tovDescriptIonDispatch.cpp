#include "fileio/dispatch/tovDescriptIonDispatch.h"

#include "automation/SlotBinding.h"
#include "automation/VariantCoercion.h"
#include "fileio/dispatch/TypeLibrary.h"

namespace ferrule {
namespace {

using namespace tov::automation;

constexpr VariantBool result(bool b) { return toVariantBool(b); }
constexpr char16_t kClassName[] = u"tovDescriptIon";
constexpr std::int32_t kTypeMismatch = 13;

}  // namespace

const InterfaceBinding& tovDescriptIonDispatch::interfaceBinding() {
  using T = tovDescriptIonDispatch;
  static const InterfaceBinding binding(
      typeLibrary(), u"_tovDescriptIon",
      {bindSlot<&T::FileName>(), bindSlot<&T::ItemFileName>(), bindSlot<&T::ItemDescription>(),
       bindSlot<&T::ItemDescriptionByFileName>(), bindSlot<&T::ItemCount>(), bindSlot<&T::RemoveItem>(),
       bindSlot<&T::RemoveItemByFileName>(), bindSlot<&T::AddItem>(), bindSlot<&T::Clear>(),
       bindSlot<&T::ReadFile>(), bindSlot<&T::WriteFile>(), bindSlot<&T::ReadDirectoryFile>(),
       bindSlot<&T::WriteDirectoryFile>()});
  return binding;
}

tovDescriptIonDispatch::tovDescriptIonDispatch() : DispatchObject(interfaceBinding(), kClassName) {}

HResult tovDescriptIonDispatch::create(const Guid& iid, void** out) {
  return createObject<tovDescriptIonDispatch>(iid, out);
}

// An optional name without default: missing means "", and an early-bound
// caller may hand any value that converts to text.
std::u16string tovDescriptIonDispatch::optionalText(const Variant& value) const {
  if (value.isMissing()) return {};
  if (value.type() == VarType::String) return value.stringValue();
  Variant text;
  if (failed(changeType(value, VarType::String, text))) raise(kTypeMismatch);
  return text.stringValue();
}

std::u16string tovDescriptIonDispatch::FileName() const { return core_.FileName(); }
std::u16string tovDescriptIonDispatch::ItemFileName(std::int32_t Index) const { return core_.ItemFileName(Index); }
std::u16string tovDescriptIonDispatch::ItemDescription(std::int32_t Index) const {
  return core_.ItemDescription(Index);
}
std::u16string tovDescriptIonDispatch::ItemDescriptionByFileName(std::u16string_view FileName) const {
  return core_.ItemDescriptionByFileName(FileName);
}
std::int32_t tovDescriptIonDispatch::ItemCount() const { return core_.ItemCount(); }
VariantBool tovDescriptIonDispatch::RemoveItem(std::int32_t Index) { return result(core_.RemoveItem(Index)); }
VariantBool tovDescriptIonDispatch::RemoveItemByFileName(std::u16string_view FileName) {
  return result(core_.RemoveItemByFileName(FileName));
}
void tovDescriptIonDispatch::AddItem(std::u16string_view FileName, std::u16string_view Description) {
  core_.AddItem(FileName, Description);
}
void tovDescriptIonDispatch::Clear() { core_.Clear(); }
VariantBool tovDescriptIonDispatch::ReadFile(std::u16string_view FileName) { return result(core_.ReadFile(FileName)); }
VariantBool tovDescriptIonDispatch::WriteFile(const Variant& FileName) {
  return result(core_.WriteFile(optionalText(FileName)));
}
VariantBool tovDescriptIonDispatch::ReadDirectoryFile(std::u16string_view PathName) {
  return result(core_.ReadDirectoryFile(PathName));
}
VariantBool tovDescriptIonDispatch::WriteDirectoryFile(const Variant& PathName) {
  return result(core_.WriteDirectoryFile(optionalText(PathName)));
}

}  // namespace ferrule
