#pragma once
// tovFileVersion as clients see it: the _tovFileVersion dispatch interface
// over the core class.
#include <cstdint>
#include <string>
#include <string_view>

#include "automation/DispatchObject.h"
#include "fileio/tovFileVersion.h"

namespace ferrule {

class tovFileVersionDispatch : public tov::automation::DispatchObject {
 public:
  using VariantBool = tov::automation::VariantBool;

  tovFileVersionDispatch();
  static tov::automation::HResult create(const tov::automation::Guid& iid, void** out);
  static const tov::automation::InterfaceBinding& interfaceBinding();

  VariantBool ReadFile(std::u16string_view FileName);
  tov::ByteArray GetBuffer();
  std::int32_t FileDateLS() { return core_.FileDateLS(); }
  std::int32_t FileDateMS() { return core_.FileDateMS(); }
  std::int32_t FileSubType() { return core_.FileSubType(); }
  std::int32_t FileType() { return core_.FileType(); }
  std::int32_t FileOS() { return core_.FileOS(); }
  std::int32_t StrucVersion() { return core_.StrucVersion(); }
  std::int32_t Signature() { return core_.Signature(); }
  std::int32_t ProductVerMajor() { return core_.ProductVerMajor(); }
  std::int32_t ProductVerMinor() { return core_.ProductVerMinor(); }
  std::int32_t ProductVerRevisionMajor() { return core_.ProductVerRevisionMajor(); }
  std::int32_t ProductVerRevisionMinor() { return core_.ProductVerRevisionMinor(); }
  std::int32_t FileVerMajor() { return core_.FileVerMajor(); }
  std::int32_t FileVerMinor() { return core_.FileVerMinor(); }
  std::int32_t FileVerRevisionMajor() { return core_.FileVerRevisionMajor(); }
  std::int32_t FileVerRevisionMinor() { return core_.FileVerRevisionMinor(); }
  std::u16string FileName() { return core_.FileName(); }
  VariantBool FileFlagDebug();
  VariantBool FileFlagSpecialBuild();
  VariantBool FileFlagPrivateBuild();
  VariantBool FileFlagPreRelease();
  VariantBool FileFlagPatched();
  VariantBool FileFlagInfoInferred();
  VariantBool FileFlagMaskDebug();
  VariantBool FileFlagMaskSpecialBuild();
  VariantBool FileFlagMaskPrivateBuild();
  VariantBool FileFlagMaskPreRelease();
  VariantBool FileFlagMaskPatched();
  VariantBool FileFlagMaskInfoInferred();
  std::u16string GetLanguageName(std::int32_t LanguageID) { return tovFileVersion::GetLanguageName(LanguageID); }
  std::u16string LanguageName() { return core_.LanguageName(); }
  std::u16string GetVersionInfoString(std::u16string_view Name) { return core_.GetVersionInfoString(Name); }
  std::u16string StrComments() { return core_.StrComments(); }
  std::u16string StrCompanyName() { return core_.StrCompanyName(); }
  std::u16string StrFileDescription() { return core_.StrFileDescription(); }
  std::u16string StrFileVersion() { return core_.StrFileVersion(); }
  std::u16string StrInternalName() { return core_.StrInternalName(); }
  std::u16string StrLegalCopyright() { return core_.StrLegalCopyright(); }
  std::u16string StrLegalTrademarks() { return core_.StrLegalTrademarks(); }
  std::u16string StrOLESelfRegister() { return core_.StrOLESelfRegister(); }
  std::u16string StrOriginalFilename() { return core_.StrOriginalFilename(); }
  std::u16string StrPrivateBuild() { return core_.StrPrivateBuild(); }
  std::u16string StrProductName() { return core_.StrProductName(); }
  std::u16string StrProductVersion() { return core_.StrProductVersion(); }
  std::u16string StrSpecialBuild() { return core_.StrSpecialBuild(); }

 private:
  tovFileVersion core_;
};

}  // namespace ferrule
