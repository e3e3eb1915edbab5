#pragma once
// ShellFileIcon as clients see it: one icon of tovShellFileInfo with its
// index in the system image list. Its picture is made once, so Icon is the
// same object on every read. Clients cannot create it.
#include <cstdint>
#include <memory>

#include "automation/DispatchObject.h"
#include "fileio/ShellFileIcon.h"

namespace ferrule {

class ShellFileIconDispatch : public tov::automation::DispatchObject {
 public:
  explicit ShellFileIconDispatch(std::shared_ptr<const ShellFileIcon> icon);
  static const tov::automation::InterfaceBinding& interfaceBinding();

  tov::automation::ComPtr<tov::automation::Dispatch> Icon() const { return picture_; }
  std::int32_t Index() const { return index_; }

 private:
  tov::automation::ComPtr<tov::automation::Dispatch> picture_;
  std::int32_t index_;
};

}  // namespace ferrule
