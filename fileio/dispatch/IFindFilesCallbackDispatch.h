#pragma once
// The library's own IFindFilesCallback: a callback a client can create and
// pass where one is wanted; it lets every search run to its end.
#include <string_view>

#include "automation/DispatchObject.h"

namespace ferrule {

class IFindFilesCallbackDispatch : public tov::automation::DispatchObject {
 public:
  IFindFilesCallbackDispatch();
  static tov::automation::HResult create(const tov::automation::Guid& iid, void** out);
  static const tov::automation::InterfaceBinding& interfaceBinding();

  void DirectoryCompleted(std::u16string_view Path, tov::automation::VariantBool* Cancel);
};

}  // namespace ferrule
