#pragma once
// SHGetFileInfo: what the shell knows about a file or folder. On Windows
// the system's shell answers (win32/ShellFileInfo.cpp); here it is answered
// as the Linux desktop answers it. Display names and type names come from GIO
// and the shared MIME database ("plain text document"), icons from the
// icon theme (TOVAPPS_ICON_THEME, else Adwaita, then hicolor) through the
// desktop module, loaded on the first question that needs it; attributes
// and executable types from the file itself.
//
// The item must exist (file attributes are never taken from the caller); a
// symbolic link is described by its target, or as a link when the target is
// missing. Text fields are not cut to the record's fixed lengths, and names
// go to the file system as given.
//
// Return values, as on Windows: 0 on failure with the thread's last error
// set; for SHGFI_ICON and SHGFI_SYSICONINDEX the handle of the system image
// list (the small one with SHGFI_SMALLICON); for SHGFI_EXETYPE the value of
// executableType(); otherwise 1. Only the fields the flags ask for are
// written. Handles travel as 32-bit numbers, sign-extended back to the
// system's handles on 64-bit Windows; an image list placed beyond their
// reach there comes back as its low 32 bits (never 0): still the answer,
// but no handle to use.
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/IconHandles.h"

namespace tov::platform {

inline constexpr std::uint32_t kShgfiSmallIcon = 0x1;
inline constexpr std::uint32_t kShgfiOpenIcon = 0x2;
inline constexpr std::uint32_t kShgfiShellIconSize = 0x4;
inline constexpr std::uint32_t kShgfiIcon = 0x100;
inline constexpr std::uint32_t kShgfiDisplayName = 0x200;
inline constexpr std::uint32_t kShgfiTypeName = 0x400;
inline constexpr std::uint32_t kShgfiAttributes = 0x800;
inline constexpr std::uint32_t kShgfiIconLocation = 0x1000;
inline constexpr std::uint32_t kShgfiExeType = 0x2000;
inline constexpr std::uint32_t kShgfiSysIconIndex = 0x4000;
inline constexpr std::uint32_t kShgfiLinkOverlay = 0x8000;
inline constexpr std::uint32_t kShgfiSelected = 0x10000;

// The shell's item attributes (SFGAO_).
inline constexpr std::uint32_t kSfgaoCanCopy = 0x1;
inline constexpr std::uint32_t kSfgaoCanMove = 0x2;
inline constexpr std::uint32_t kSfgaoCanLink = 0x4;
inline constexpr std::uint32_t kSfgaoStorage = 0x8;
inline constexpr std::uint32_t kSfgaoCanRename = 0x10;
inline constexpr std::uint32_t kSfgaoCanDelete = 0x20;
inline constexpr std::uint32_t kSfgaoHasPropSheet = 0x40;
inline constexpr std::uint32_t kSfgaoDropTarget = 0x100;
inline constexpr std::uint32_t kSfgaoSystem = 0x1000;
inline constexpr std::uint32_t kSfgaoGhosted = 0x8000;
inline constexpr std::uint32_t kSfgaoLink = 0x10000;
inline constexpr std::uint32_t kSfgaoReadOnly = 0x40000;
inline constexpr std::uint32_t kSfgaoHidden = 0x80000;
inline constexpr std::uint32_t kSfgaoStream = 0x400000;
inline constexpr std::uint32_t kSfgaoStorageAncestor = 0x800000;
inline constexpr std::uint32_t kSfgaoCompressed = 0x4000000;
inline constexpr std::uint32_t kSfgaoFileSysAncestor = 0x10000000;
inline constexpr std::uint32_t kSfgaoFolder = 0x20000000;
inline constexpr std::uint32_t kSfgaoFileSystem = 0x40000000;
inline constexpr std::uint32_t kSfgaoHasSubfolder = 0x80000000;

// The fields of SHFILEINFO the shell fills.
struct ShFileInfo {
  IconHandle hIcon = 0;        // SHGFI_ICON: a new icon; the caller owns it
  std::int32_t iIcon = 0;      // its index in the system image list (-1: the list has no image for it)
  std::uint32_t dwAttributes = 0;
  std::u16string szDisplayName;  // SHGFI_DISPLAYNAME, or SHGFI_ICONLOCATION's icon file
  std::u16string szTypeName;
};

std::uint32_t SHGetFileInfoW(std::u16string_view path, ShFileInfo& info, std::uint32_t flags);

}  // namespace tov::platform
