#pragma once
// ShellFileEXE as clients see it: the program kind tovShellFileInfo.EXEType
// hands out. Clients cannot create it; it keeps its own values.
#include <cstdint>
#include <memory>
#include <string>

#include "automation/DispatchObject.h"
#include "fileio/ShellFileEXE.h"

namespace ferrule {

class ShellFileEXEDispatch : public tov::automation::DispatchObject {
 public:
  explicit ShellFileEXEDispatch(std::shared_ptr<const ShellFileEXE> exe);
  static const tov::automation::InterfaceBinding& interfaceBinding();

  std::int32_t OSVersionMinor() const { return exe_->OSVersionMinor(); }
  std::int32_t OSVersionMajor() const { return exe_->OSVersionMajor(); }
  std::u16string Signature() const { return exe_->Signature(); }

 private:
  std::shared_ptr<const ShellFileEXE> exe_;
};

}  // namespace ferrule
