#pragma once
// tovFileStreams as clients see it: Count, 0-based Item and NewEnum over
// FileStream objects, and ReadFileStreams. A read that fails leaves an empty
// list, never a dropped one, so Count, Item and for-each keep working.
#include <cstdint>
#include <string_view>

#include "automation/DispatchObject.h"
#include "automation/ObjectList.h"
#include "automation/Variant.h"
#include "fileio/dispatch/FileStreamDispatch.h"
#include "fileio/tovFileStreams.h"

namespace ferrule {

class tovFileStreamsDispatch : public tov::automation::DispatchObject {
 public:
  using Variant = tov::automation::Variant;
  using VariantBool = tov::automation::VariantBool;
  template <typename T>
  using ComPtr = tov::automation::ComPtr<T>;

  tovFileStreamsDispatch();
  static tov::automation::HResult create(const tov::automation::Guid& iid, void** out);
  static const tov::automation::InterfaceBinding& interfaceBinding();

  std::int32_t Count() const { return streams_.count(); }
  ComPtr<tov::automation::Dispatch> Item(std::int32_t Index) const { return streams_.item(Index); }
  ComPtr<tov::automation::Unknown> NewEnum() const { return streams_.newEnum(); }
  // ProcessSecurity may be left out (False).
  VariantBool ReadFileStreams(std::u16string_view FileName, const Variant& ProcessSecurity);

 private:
  bool processSecurity(const Variant& value) const;

  tov::automation::ObjectList<FileStreamDispatch> streams_{u"tovFileStreams"};
};

}  // namespace ferrule
