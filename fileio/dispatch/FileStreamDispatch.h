#pragma once
// FileStream as clients see it: the _FileStream interface over one stream's
// own copy of its values, so it outlives the list it came from. Only
// tovFileStreams makes these; no client can create one.
#include <cstdint>
#include <string>

#include "automation/DispatchObject.h"
#include "fileio/FileStream.h"

namespace ferrule {

class FileStreamDispatch : public tov::automation::DispatchObject {
 public:
  using VariantBool = tov::automation::VariantBool;

  explicit FileStreamDispatch(FileStream stream);
  static const tov::automation::InterfaceBinding& interfaceBinding();

  std::int32_t StreamID() const { return core_.StreamID(); }
  std::int32_t Attributes() const { return core_.Attributes(); }
  double Size() const { return core_.Size(); }
  std::u16string Name() const { return core_.Name(); }
  std::u16string ShortName() const { return core_.ShortName(); }
  VariantBool StreamIDInvalid() const;
  VariantBool StreamIDData() const;
  VariantBool StreamIDEAData() const;
  VariantBool StreamIDSecurityData() const;
  VariantBool StreamIDAlternateData() const;
  VariantBool StreamIDLink() const;
  VariantBool StreamIDPropertyData() const;
  VariantBool StreamIDObjectID() const;
  VariantBool StreamIDReparseData() const;
  VariantBool StreamIDSparseBlock() const;
  VariantBool AttributeModifiedWhenRead() const;
  VariantBool AttributeContainsSecurity() const;
  VariantBool AttributeContainsProperties() const;
  VariantBool AttributeSparseAttribute() const;

 private:
  FileStream core_;
};

}  // namespace ferrule
