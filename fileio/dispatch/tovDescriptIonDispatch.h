#pragma once
// tovDescriptIon as clients see it: the _tovDescriptIon dispatch interface
// over the core description list.
#include <cstdint>
#include <string>
#include <string_view>

#include "automation/DispatchObject.h"
#include "automation/Variant.h"
#include "fileio/tovDescriptIon.h"

namespace ferrule {

class tovDescriptIonDispatch : public tov::automation::DispatchObject {
 public:
  using Variant = tov::automation::Variant;
  using VariantBool = tov::automation::VariantBool;

  tovDescriptIonDispatch();
  static tov::automation::HResult create(const tov::automation::Guid& iid, void** out);
  static const tov::automation::InterfaceBinding& interfaceBinding();

  std::u16string FileName() const;
  std::u16string ItemFileName(std::int32_t Index) const;
  std::u16string ItemDescription(std::int32_t Index) const;
  std::u16string ItemDescriptionByFileName(std::u16string_view FileName) const;
  std::int32_t ItemCount() const;
  VariantBool RemoveItem(std::int32_t Index);
  VariantBool RemoveItemByFileName(std::u16string_view FileName);
  void AddItem(std::u16string_view FileName, std::u16string_view Description);
  void Clear();
  VariantBool ReadFile(std::u16string_view FileName);
  VariantBool WriteFile(const Variant& FileName);
  VariantBool ReadDirectoryFile(std::u16string_view PathName);
  VariantBool WriteDirectoryFile(const Variant& PathName);

 private:
  std::u16string optionalText(const Variant& value) const;

  tovDescriptIon core_;
};

}  // namespace ferrule
