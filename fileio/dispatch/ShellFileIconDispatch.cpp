#include "fileio/dispatch/ShellFileIconDispatch.h"

#include "automation/IconPicture.h"
#include "automation/SlotBinding.h"
#include "fileio/dispatch/TypeLibrary.h"

namespace ferrule {

using namespace tov::automation;

const InterfaceBinding& ShellFileIconDispatch::interfaceBinding() {
  using T = ShellFileIconDispatch;
  static const InterfaceBinding binding(typeLibrary(), u"_ShellFileIcon",
                                        {bindSlot<&T::Icon>(), bindSlot<&T::Index>()});
  return binding;
}

ShellFileIconDispatch::ShellFileIconDispatch(std::shared_ptr<const ShellFileIcon> icon)
    : DispatchObject(interfaceBinding(), u"ShellFileIcon"), picture_(iconPicture(icon->Icon())),
      index_(icon->Index()) {}

}  // namespace ferrule
