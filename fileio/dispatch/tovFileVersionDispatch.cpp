#include "fileio/dispatch/tovFileVersionDispatch.h"

#include "automation/SlotBinding.h"
#include "fileio/dispatch/TypeLibrary.h"

namespace ferrule {
namespace {

using namespace tov::automation;

constexpr VariantBool result(bool b) { return toVariantBool(b); }

}  // namespace

const InterfaceBinding& tovFileVersionDispatch::interfaceBinding() {
  using T = tovFileVersionDispatch;
  static const InterfaceBinding binding(
      typeLibrary(), u"_tovFileVersion",
      {bindSlot<&T::ReadFile>(),
       bindSlot<&T::GetBuffer>(),
       bindSlot<&T::FileDateLS>(),
       bindSlot<&T::FileDateMS>(),
       bindSlot<&T::FileSubType>(),
       bindSlot<&T::FileType>(),
       bindSlot<&T::FileOS>(),
       bindSlot<&T::StrucVersion>(),
       bindSlot<&T::Signature>(),
       bindSlot<&T::ProductVerMajor>(),
       bindSlot<&T::ProductVerMinor>(),
       bindSlot<&T::ProductVerRevisionMajor>(),
       bindSlot<&T::ProductVerRevisionMinor>(),
       bindSlot<&T::FileVerMajor>(),
       bindSlot<&T::FileVerMinor>(),
       bindSlot<&T::FileVerRevisionMajor>(),
       bindSlot<&T::FileVerRevisionMinor>(),
       bindSlot<&T::FileName>(),
       bindSlot<&T::FileFlagDebug>(),
       bindSlot<&T::FileFlagSpecialBuild>(),
       bindSlot<&T::FileFlagPrivateBuild>(),
       bindSlot<&T::FileFlagPreRelease>(),
       bindSlot<&T::FileFlagPatched>(),
       bindSlot<&T::FileFlagInfoInferred>(),
       bindSlot<&T::FileFlagMaskDebug>(),
       bindSlot<&T::FileFlagMaskSpecialBuild>(),
       bindSlot<&T::FileFlagMaskPrivateBuild>(),
       bindSlot<&T::FileFlagMaskPreRelease>(),
       bindSlot<&T::FileFlagMaskPatched>(),
       bindSlot<&T::FileFlagMaskInfoInferred>(),
       bindSlot<&T::GetLanguageName>(),
       bindSlot<&T::LanguageName>(),
       bindSlot<&T::GetVersionInfoString>(),
       bindSlot<&T::StrComments>(),
       bindSlot<&T::StrCompanyName>(),
       bindSlot<&T::StrFileDescription>(),
       bindSlot<&T::StrFileVersion>(),
       bindSlot<&T::StrInternalName>(),
       bindSlot<&T::StrLegalCopyright>(),
       bindSlot<&T::StrLegalTrademarks>(),
       bindSlot<&T::StrOLESelfRegister>(),
       bindSlot<&T::StrOriginalFilename>(),
       bindSlot<&T::StrPrivateBuild>(),
       bindSlot<&T::StrProductName>(),
       bindSlot<&T::StrProductVersion>(),
       bindSlot<&T::StrSpecialBuild>()});
  return binding;
}

tovFileVersionDispatch::tovFileVersionDispatch() : DispatchObject(interfaceBinding(), u"tovFileVersion") {}

HResult tovFileVersionDispatch::create(const Guid& iid, void** out) {
  return createObject<tovFileVersionDispatch>(iid, out);
}

VariantBool tovFileVersionDispatch::ReadFile(std::u16string_view FileName) { return result(core_.ReadFile(FileName)); }
tov::ByteArray tovFileVersionDispatch::GetBuffer() { return core_.GetBuffer(); }
VariantBool tovFileVersionDispatch::FileFlagDebug() { return result(core_.FileFlagDebug()); }
VariantBool tovFileVersionDispatch::FileFlagSpecialBuild() { return result(core_.FileFlagSpecialBuild()); }
VariantBool tovFileVersionDispatch::FileFlagPrivateBuild() { return result(core_.FileFlagPrivateBuild()); }
VariantBool tovFileVersionDispatch::FileFlagPreRelease() { return result(core_.FileFlagPreRelease()); }
VariantBool tovFileVersionDispatch::FileFlagPatched() { return result(core_.FileFlagPatched()); }
VariantBool tovFileVersionDispatch::FileFlagInfoInferred() { return result(core_.FileFlagInfoInferred()); }
VariantBool tovFileVersionDispatch::FileFlagMaskDebug() { return result(core_.FileFlagMaskDebug()); }
VariantBool tovFileVersionDispatch::FileFlagMaskSpecialBuild() { return result(core_.FileFlagMaskSpecialBuild()); }
VariantBool tovFileVersionDispatch::FileFlagMaskPrivateBuild() { return result(core_.FileFlagMaskPrivateBuild()); }
VariantBool tovFileVersionDispatch::FileFlagMaskPreRelease() { return result(core_.FileFlagMaskPreRelease()); }
VariantBool tovFileVersionDispatch::FileFlagMaskPatched() { return result(core_.FileFlagMaskPatched()); }
VariantBool tovFileVersionDispatch::FileFlagMaskInfoInferred() { return result(core_.FileFlagMaskInfoInferred()); }

}  // namespace ferrule
