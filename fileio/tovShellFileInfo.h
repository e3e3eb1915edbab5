#pragma once
// What the shell knows about one file or folder: names, type, attributes,
// where its icon comes from, its place in the system image list, its icons
// in the shell's sizes and states, and for programs their kind.
//
// ReadFile asks the shell five questions and keeps the answers. Icons and
// the program kind are asked for only when first read after a ReadFile,
// once each: the object made then (a real icon, or the library's fallback
// icon with index -1 when the shell has none) is kept and handed out again
// until the next ReadFile. Objects handed out stay valid on their own.
//
//   tovShellFileInfo info;
//   if (info.ReadFile(u"/home/ann/notes.txt")) {
//     info.TypeName();                              // u"plain text document"
//     info.icon(ShellIconKind::SmallIcon)->Icon();  // 16 x 16
//   }
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "fileio/ShellFileEXE.h"
#include "fileio/ShellFileIcon.h"
#include "platform/ShellFileInfo.h"

namespace ferrule {

// The icon properties, in the interface's order.
enum class ShellIconKind {
  Icon,
  SmallIcon,
  LinkOverlayIcon,
  LinkOverlaySmallIcon,
  OpenIcon,
  OpenSmallIcon,
  SelectedIcon,
  SelectedSmallIcon,
  ShellSizeIcon,
};
inline constexpr std::size_t kShellIconKinds = 9;

class tovShellFileInfo {
 public:
  // The shell's information call, as platform::SHGetFileInfoW.
  using ShellCall = std::function<std::uint32_t(std::u16string_view path, tov::platform::ShFileInfo& record,
                                                std::uint32_t flags)>;

  // Asks the platform's shell.
  tovShellFileInfo();
  // Asks `shell` instead.
  explicit tovShellFileInfo(ShellCall shell);

  // True when all five questions were answered; otherwise the object is
  // empty again (FileName too). The name goes to the shell as given.
  bool ReadFile(std::u16string_view FileName);

  const std::u16string& FileName() const { return fileName_; }
  std::uint32_t Attributes() const { return attributes_; }
  const std::u16string& DisplayName() const { return displayName_; }
  const std::u16string& TypeName() const { return typeName_; }
  const std::u16string& IconLocation() const { return iconLocation_; }
  std::int32_t SystemIconIndex() const { return systemIconIndex_; }
  std::uint32_t hSystemImageList() const { return systemImageList_; }

  // None while FileName is empty.
  std::shared_ptr<const ShellFileEXE> EXEType();
  std::shared_ptr<const ShellFileIcon> icon(ShellIconKind kind);

  // The shell flags and the size of the fallback icon for each property.
  static std::uint32_t iconFlags(ShellIconKind kind);
  static bool isSmall(ShellIconKind kind);

 private:
  void ClearInfo();
  static std::shared_ptr<const ShellFileIcon> MakeShellFileIcon(std::uint32_t result,
                                                                const tov::platform::ShFileInfo& record, bool small);

  ShellCall shell_;
  std::uint32_t attributes_ = 0;
  std::u16string fileName_;
  std::u16string displayName_;
  std::shared_ptr<const ShellFileEXE> exeType_;
  std::u16string typeName_;
  std::array<std::shared_ptr<const ShellFileIcon>, kShellIconKinds> icons_;
  std::u16string iconLocation_;
  std::int32_t systemIconIndex_ = 0;
  std::uint32_t systemImageList_ = 0;
};

}  // namespace ferrule
