#include "fileio/dispatch/FileStreamDispatch.h"

#include "automation/SlotBinding.h"
#include "fileio/dispatch/TypeLibrary.h"

namespace ferrule {
namespace {

using namespace tov::automation;

constexpr VariantBool result(bool b) { return toVariantBool(b); }

}  // namespace

const InterfaceBinding& FileStreamDispatch::interfaceBinding() {
  using T = FileStreamDispatch;
  static const InterfaceBinding binding(
      typeLibrary(), u"_FileStream",
      {bindSlot<&T::StreamID>(), bindSlot<&T::Attributes>(), bindSlot<&T::Size>(), bindSlot<&T::Name>(),
       bindSlot<&T::ShortName>(), bindSlot<&T::StreamIDInvalid>(), bindSlot<&T::StreamIDData>(),
       bindSlot<&T::StreamIDEAData>(), bindSlot<&T::StreamIDSecurityData>(), bindSlot<&T::StreamIDAlternateData>(),
       bindSlot<&T::StreamIDLink>(), bindSlot<&T::StreamIDPropertyData>(), bindSlot<&T::StreamIDObjectID>(),
       bindSlot<&T::StreamIDReparseData>(), bindSlot<&T::StreamIDSparseBlock>(),
       bindSlot<&T::AttributeModifiedWhenRead>(), bindSlot<&T::AttributeContainsSecurity>(),
       bindSlot<&T::AttributeContainsProperties>(), bindSlot<&T::AttributeSparseAttribute>()});
  return binding;
}

FileStreamDispatch::FileStreamDispatch(FileStream stream)
    : DispatchObject(interfaceBinding(), u"FileStream"), core_(std::move(stream)) {}

VariantBool FileStreamDispatch::StreamIDInvalid() const { return result(core_.StreamIDInvalid()); }
VariantBool FileStreamDispatch::StreamIDData() const { return result(core_.StreamIDData()); }
VariantBool FileStreamDispatch::StreamIDEAData() const { return result(core_.StreamIDEAData()); }
VariantBool FileStreamDispatch::StreamIDSecurityData() const { return result(core_.StreamIDSecurityData()); }
VariantBool FileStreamDispatch::StreamIDAlternateData() const { return result(core_.StreamIDAlternateData()); }
VariantBool FileStreamDispatch::StreamIDLink() const { return result(core_.StreamIDLink()); }
VariantBool FileStreamDispatch::StreamIDPropertyData() const { return result(core_.StreamIDPropertyData()); }
VariantBool FileStreamDispatch::StreamIDObjectID() const { return result(core_.StreamIDObjectID()); }
VariantBool FileStreamDispatch::StreamIDReparseData() const { return result(core_.StreamIDReparseData()); }
VariantBool FileStreamDispatch::StreamIDSparseBlock() const { return result(core_.StreamIDSparseBlock()); }
VariantBool FileStreamDispatch::AttributeModifiedWhenRead() const { return result(core_.AttributeModifiedWhenRead()); }
VariantBool FileStreamDispatch::AttributeContainsSecurity() const { return result(core_.AttributeContainsSecurity()); }
VariantBool FileStreamDispatch::AttributeContainsProperties() const {
  return result(core_.AttributeContainsProperties());
}
VariantBool FileStreamDispatch::AttributeSparseAttribute() const { return result(core_.AttributeSparseAttribute()); }

}  // namespace ferrule
