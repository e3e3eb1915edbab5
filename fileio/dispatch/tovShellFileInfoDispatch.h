#pragma once
// tovShellFileInfo as clients see it: the _tovShellFileInfo dispatch
// interface over the core. The program kind and each icon are handed out
// as one object per ReadFile: the same object on every read until the core
// makes a new one.
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "automation/DispatchObject.h"
#include "automation/Variant.h"
#include "fileio/tovShellFileInfo.h"

namespace ferrule {

class tovShellFileInfoDispatch : public tov::automation::DispatchObject {
 public:
  using Object = tov::automation::ComPtr<tov::automation::Dispatch>;

  tovShellFileInfoDispatch();
  static tov::automation::HResult create(const tov::automation::Guid& iid, void** out);
  static const tov::automation::InterfaceBinding& interfaceBinding();

  tov::automation::VariantBool ReadFile(std::u16string_view FileName);
  std::u16string FileName() const { return core_.FileName(); }
  std::int32_t Attributes() const { return static_cast<std::int32_t>(core_.Attributes()); }
  std::u16string DisplayName() const { return core_.DisplayName(); }
  std::u16string TypeName() const { return core_.TypeName(); }
  Object EXEType();
  Object Icon() { return icon(ShellIconKind::Icon); }
  Object SmallIcon() { return icon(ShellIconKind::SmallIcon); }
  Object LinkOverlayIcon() { return icon(ShellIconKind::LinkOverlayIcon); }
  Object LinkOverlaySmallIcon() { return icon(ShellIconKind::LinkOverlaySmallIcon); }
  Object OpenIcon() { return icon(ShellIconKind::OpenIcon); }
  Object OpenSmallIcon() { return icon(ShellIconKind::OpenSmallIcon); }
  Object SelectedIcon() { return icon(ShellIconKind::SelectedIcon); }
  Object SelectedSmallIcon() { return icon(ShellIconKind::SelectedSmallIcon); }
  Object ShellSizeIcon() { return icon(ShellIconKind::ShellSizeIcon); }
  std::u16string IconLocation() const { return core_.IconLocation(); }
  std::int32_t SystemIconIndex() const { return core_.SystemIconIndex(); }
  std::int32_t hSystemImageList() const { return static_cast<std::int32_t>(core_.hSystemImageList()); }

 private:
  // A core value and the client object made for it.
  template <typename Value>
  struct Wrapped {
    std::shared_ptr<const Value> value;
    Object object;
  };

  Object icon(ShellIconKind kind);

  tovShellFileInfo core_;
  Wrapped<ShellFileEXE> exe_;
  std::array<Wrapped<ShellFileIcon>, kShellIconKinds> icons_;
};

}  // namespace ferrule
