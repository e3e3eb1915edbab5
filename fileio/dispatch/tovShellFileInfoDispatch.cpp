#include "fileio/dispatch/tovShellFileInfoDispatch.h"

#include "automation/SlotBinding.h"
#include "fileio/dispatch/ShellFileEXEDispatch.h"
#include "fileio/dispatch/ShellFileIconDispatch.h"
#include "fileio/dispatch/TypeLibrary.h"

namespace ferrule {
namespace {

using namespace tov::automation;

// The client object for the core's current value: the one made before while
// the core still hands out the same value, a new one once it does not.
template <typename Dispatch, typename Value, typename Wrapped>
ComPtr<tov::automation::Dispatch> wrap(std::shared_ptr<const Value> value, Wrapped& wrapped) {
  if (!value) return nullptr;
  if (value != wrapped.value) {
    wrapped.object = makeDispatch<Dispatch>(value);
    wrapped.value = std::move(value);
  }
  return wrapped.object;
}

}  // namespace

const InterfaceBinding& tovShellFileInfoDispatch::interfaceBinding() {
  using T = tovShellFileInfoDispatch;
  static const InterfaceBinding binding(
      typeLibrary(), u"_tovShellFileInfo",
      {bindSlot<&T::ReadFile>(), bindSlot<&T::FileName>(), bindSlot<&T::Attributes>(), bindSlot<&T::DisplayName>(),
       bindSlot<&T::TypeName>(), bindSlot<&T::EXEType>(), bindSlot<&T::Icon>(), bindSlot<&T::SmallIcon>(),
       bindSlot<&T::LinkOverlayIcon>(), bindSlot<&T::LinkOverlaySmallIcon>(), bindSlot<&T::OpenIcon>(),
       bindSlot<&T::OpenSmallIcon>(), bindSlot<&T::SelectedIcon>(), bindSlot<&T::SelectedSmallIcon>(),
       bindSlot<&T::ShellSizeIcon>(), bindSlot<&T::IconLocation>(), bindSlot<&T::SystemIconIndex>(),
       bindSlot<&T::hSystemImageList>()});
  return binding;
}

tovShellFileInfoDispatch::tovShellFileInfoDispatch() : DispatchObject(interfaceBinding(), u"tovShellFileInfo") {}

HResult tovShellFileInfoDispatch::create(const Guid& iid, void** out) {
  return createObject<tovShellFileInfoDispatch>(iid, out);
}

VariantBool tovShellFileInfoDispatch::ReadFile(std::u16string_view FileName) {
  const bool read = core_.ReadFile(FileName);
  // Objects handed out before stay with their clients; this object keeps
  // none of them for the new file.
  exe_ = {};
  icons_.fill({});
  return toVariantBool(read);
}

tovShellFileInfoDispatch::Object tovShellFileInfoDispatch::EXEType() {
  return wrap<ShellFileEXEDispatch>(core_.EXEType(), exe_);
}

tovShellFileInfoDispatch::Object tovShellFileInfoDispatch::icon(ShellIconKind kind) {
  return wrap<ShellFileIconDispatch>(core_.icon(kind), icons_[static_cast<std::size_t>(kind)]);
}

}  // namespace ferrule
