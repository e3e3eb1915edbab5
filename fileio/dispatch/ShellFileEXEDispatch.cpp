#include "fileio/dispatch/ShellFileEXEDispatch.h"

#include "automation/SlotBinding.h"
#include "fileio/dispatch/TypeLibrary.h"

namespace ferrule {

using namespace tov::automation;

const InterfaceBinding& ShellFileEXEDispatch::interfaceBinding() {
  using T = ShellFileEXEDispatch;
  static const InterfaceBinding binding(
      typeLibrary(), u"_ShellFileEXE",
      {bindSlot<&T::OSVersionMinor>(), bindSlot<&T::OSVersionMajor>(), bindSlot<&T::Signature>()});
  return binding;
}

ShellFileEXEDispatch::ShellFileEXEDispatch(std::shared_ptr<const ShellFileEXE> exe)
    : DispatchObject(interfaceBinding(), u"ShellFileEXE"), exe_(std::move(exe)) {}

}  // namespace ferrule
