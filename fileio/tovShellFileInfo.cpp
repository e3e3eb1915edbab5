#include "fileio/tovShellFileInfo.h"

#include "support/ErrorRecord.h"
#include "support/IconFunctions.h"

namespace ferrule {
namespace {

namespace shell = tov::platform;

constexpr std::uint32_t kIconFlags[kShellIconKinds] = {
    shell::kShgfiIcon,
    shell::kShgfiIcon | shell::kShgfiSmallIcon,
    shell::kShgfiIcon | shell::kShgfiLinkOverlay,
    shell::kShgfiIcon | shell::kShgfiLinkOverlay | shell::kShgfiSmallIcon,
    shell::kShgfiIcon | shell::kShgfiOpenIcon,
    shell::kShgfiIcon | shell::kShgfiOpenIcon | shell::kShgfiSmallIcon,
    shell::kShgfiIcon | shell::kShgfiSelected,
    shell::kShgfiIcon | shell::kShgfiSelected | shell::kShgfiSmallIcon,
    shell::kShgfiIcon | shell::kShgfiShellIconSize,
};

}  // namespace

tovShellFileInfo::tovShellFileInfo() : tovShellFileInfo(&shell::SHGetFileInfoW) {}

tovShellFileInfo::tovShellFileInfo(ShellCall shell) : shell_(std::move(shell)) {}

std::uint32_t tovShellFileInfo::iconFlags(ShellIconKind kind) { return kIconFlags[static_cast<std::size_t>(kind)]; }

bool tovShellFileInfo::isSmall(ShellIconKind kind) { return iconFlags(kind) & shell::kShgfiSmallIcon; }

void tovShellFileInfo::ClearInfo() {
  attributes_ = 0;
  fileName_.clear();
  displayName_.clear();
  exeType_.reset();
  typeName_.clear();
  icons_.fill(nullptr);
  iconLocation_.clear();
  systemIconIndex_ = 0;
  systemImageList_ = 0;
}

bool tovShellFileInfo::ReadFile(std::u16string_view FileName) {
  ClearInfo();
  fileName_ = FileName;
  shell::ShFileInfo record;
  bool answered = shell_(FileName, record, shell::kShgfiAttributes) != 0;
  if (answered) {
    attributes_ = record.dwAttributes;
    answered = shell_(FileName, record, shell::kShgfiDisplayName) != 0;
  }
  if (answered) {
    displayName_ = record.szDisplayName;
    // This question puts the icon's file where the display name was.
    answered = shell_(FileName, record, shell::kShgfiIconLocation) != 0;
  }
  if (answered) {
    iconLocation_ = record.szDisplayName;
    const std::uint32_t imageList = shell_(FileName, record, shell::kShgfiSysIconIndex);
    answered = imageList != 0;
    systemImageList_ = imageList;
    systemIconIndex_ = record.iIcon;
  }
  if (answered) {
    answered = shell_(FileName, record, shell::kShgfiTypeName) != 0;
    typeName_ = record.szTypeName;
  }
  if (!answered) ClearInfo();
  return answered;
}

std::shared_ptr<const ShellFileEXE> tovShellFileInfo::EXEType() {
  if (fileName_.empty()) return nullptr;
  if (!exeType_) {
    shell::ShFileInfo record;
    exeType_ = std::make_shared<const ShellFileEXE>(
        ShellFileEXE::fromExeType(shell_(fileName_, record, shell::kShgfiExeType)));
  }
  return exeType_;
}

std::shared_ptr<const ShellFileIcon> tovShellFileInfo::icon(ShellIconKind kind) {
  if (fileName_.empty()) return nullptr;
  std::shared_ptr<const ShellFileIcon>& cached = icons_[static_cast<std::size_t>(kind)];
  if (!cached) {
    shell::ShFileInfo record;
    const std::uint32_t result = shell_(fileName_, record, iconFlags(kind));
    cached = MakeShellFileIcon(result, record, isSmall(kind));
  }
  return cached;
}

std::shared_ptr<const ShellFileIcon> tovShellFileInfo::MakeShellFileIcon(std::uint32_t result,
                                                                        const shell::ShFileInfo& record,
                                                                        bool small) {
  if (result != 0) {
    // The picture takes the handle over; the library never destroys it.
    try {
      return std::make_shared<const ShellFileIcon>(record.iIcon, tov::asGetIconFromHandle(record.hIcon));
    } catch (const tov::RuntimeError&) {
      // A handle that holds no icon is no icon: the fallback below.
    }
  }
  return std::make_shared<const ShellFileIcon>(-1, small ? tov::asLoadResIconSmall(u"") : tov::asLoadResIcon(u""));
}

}  // namespace ferrule
