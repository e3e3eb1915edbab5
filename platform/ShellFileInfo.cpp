#include "platform/ShellFileInfo.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <mutex>
#include <optional>
#include <utility>

#include "platform/DesktopModule.h"
#include "platform/ExecutableType.h"
#include "platform/FileAttributes.h"
#include "platform/Path.h"
#include "platform/SystemImageList.h"
#include "platform/Utf.h"
#include "platform/WinError.h"

namespace tov::platform {
namespace {

constexpr std::uint32_t kErrorModNotFound = 126;
// Entries looked at for a subfolder before the folder is taken to have
// one: the attribute only says "may have", and a huge folder must not
// make every question about it slow.
constexpr int kSubfolderScanLimit = 4096;
constexpr const char* kLinkEmblem = "emblem-symbolic-link";

std::uint32_t fail(std::uint32_t code) {
  SetLastError(code);
  return 0;
}

// ENOENT is "file not found" in a folder that exists, "path not found"
// when the folder is missing too, as the platform tells them apart.
std::uint32_t missingError(const std::string& path, int err) {
  if (err != ENOENT) return winErrorFromErrno(err);
  struct stat parent {};
  const std::string dir = std::filesystem::path(path).parent_path().string();
  return dir.empty() || stat(dir.c_str(), &parent) == 0 ? kErrorFileNotFound : kErrorPathNotFound;
}

bool canAccess(const std::string& path, int mode) { return faccessat(AT_FDCWD, path.c_str(), mode, AT_EACCESS) == 0; }

std::string parentOf(const std::string& path) {
  std::filesystem::path parent = std::filesystem::path(path).lexically_normal().parent_path();
  if (parent.empty()) return ".";
  return parent.string();
}

// Whether the item may be moved, renamed or deleted: its directory must
// take changes, and a sticky directory only from the item's owner.
bool canChangeEntry(const std::string& path, const struct stat& item) {
  const std::string parent = parentOf(path);
  if (!canAccess(parent, W_OK | X_OK)) return false;
  struct stat dir {};
  if (stat(parent.c_str(), &dir) != 0) return false;
  const uid_t me = geteuid();
  return !(dir.st_mode & S_ISVTX) || me == 0 || me == item.st_uid || me == dir.st_uid;
}

bool hasSubfolder(const std::string& path) {
  DIR* dir = opendir(path.c_str());
  if (!dir) return true;  // unreadable: it may have some
  bool found = false;
  int seen = 0;
  while (const dirent* entry = readdir(dir)) {
    const std::string_view name = entry->d_name;
    if (name == "." || name == "..") continue;
    if (++seen > kSubfolderScanLimit) {
      found = true;
      break;
    }
    if (entry->d_type == DT_DIR) {
      found = true;
      break;
    }
    if (entry->d_type == DT_UNKNOWN || entry->d_type == DT_LNK) {
      struct stat st {};
      if (fstatat(dirfd(dir), entry->d_name, &st, 0) == 0 && S_ISDIR(st.st_mode)) {
        found = true;
        break;
      }
    }
  }
  closedir(dir);
  return found;
}

std::uint32_t shellAttributes(const std::string& path, const struct stat& link) {
  struct stat target {};
  const bool resolves = stat(path.c_str(), &target) == 0;
  const struct stat& item = resolves ? target : link;
  const bool folder = S_ISDIR(item.st_mode);
  std::uint32_t attributes = kSfgaoFileSystem | kSfgaoCanLink | kSfgaoHasPropSheet;
  if (S_ISLNK(link.st_mode)) attributes |= kSfgaoLink;
  if (folder) {
    attributes |= kSfgaoFolder | kSfgaoFileSysAncestor | kSfgaoStorage | kSfgaoStorageAncestor;
    if (hasSubfolder(path)) attributes |= kSfgaoHasSubfolder;
  } else {
    attributes |= kSfgaoStream;
  }
  if (resolves && canAccess(path, folder ? R_OK | X_OK : R_OK)) attributes |= kSfgaoCanCopy;
  if (canChangeEntry(path, link)) attributes |= kSfgaoCanMove | kSfgaoCanRename | kSfgaoCanDelete;
  // Folders take dropped files to hold them, programs to open them.
  const bool program = S_ISREG(item.st_mode) && (item.st_mode & (S_IXUSR | S_IXGRP | S_IXOTH));
  const std::uint32_t dos = getFileAttributesNative(path);
  const bool readOnly = !resolves || !canAccess(path, W_OK) ||
                        (dos != kInvalidFileAttributes && !folder && (dos & kFileAttributeReadOnly));
  if ((folder && !readOnly) || program) attributes |= kSfgaoDropTarget;
  if (readOnly) attributes |= kSfgaoReadOnly;
  if (dos != kInvalidFileAttributes) {
    if (dos & kFileAttributeHidden) attributes |= kSfgaoHidden | kSfgaoGhosted;
    if (dos & kFileAttributeSystem) attributes |= kSfgaoSystem;
    if (dos & kFileAttributeCompressed) attributes |= kSfgaoCompressed;
  }
  return attributes;
}

// What makes one state of an item: the entry and, for a link, its target.
struct ItemState {
  std::string path;
  struct stat entry {};
  struct stat target {};
  bool resolves = false;

  bool operator==(const ItemState& other) const {
    return path == other.path && same(entry, other.entry) && resolves == other.resolves &&
           (!resolves || same(target, other.target));
  }
  static bool same(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino && a.st_mode == b.st_mode && a.st_size == b.st_size &&
           a.st_mtim.tv_sec == b.st_mtim.tv_sec && a.st_mtim.tv_nsec == b.st_mtim.tv_nsec &&
           a.st_ctim.tv_sec == b.st_ctim.tv_sec && a.st_ctim.tv_nsec == b.st_ctim.tv_nsec;
  }
};

// ReadFile asks about one item four times in a row, and telling its type
// may mean reading its first bytes: the last answer is kept while the item
// stays as it was (same file, size and change time).
std::optional<DesktopItem> describeItem(const DesktopModule& module, const std::string& native,
                                        const struct stat& link, int& error) {
  static std::mutex lock;
  static std::optional<std::pair<ItemState, DesktopItem>> last;
  ItemState state{native, link, {}, false};
  state.resolves = S_ISLNK(link.st_mode) ? stat(native.c_str(), &state.target) == 0 : false;
  {
    std::lock_guard guard(lock);
    if (last && last->first == state) return last->second;
  }
  std::optional<DesktopItem> item = module.describe(native, error);
  if (item) {
    std::lock_guard guard(lock);
    last.emplace(std::move(state), *item);
  }
  return item;
}

// An open folder looks for the open form of each of its icons, then the
// generic open folder, before its closed icons.
std::vector<std::string> openIconNames(const DesktopItem& item) {
  if (item.contentType != "inode/directory") return item.iconNames;
  std::vector<std::string> names;
  for (const std::string& name : item.iconNames) names.push_back(name + "-open");
  names.push_back("folder-open");
  names.insert(names.end(), item.iconNames.begin(), item.iconNames.end());
  return names;
}

struct ResolvedIcon {
  std::string name;
  std::string largeFile;
  std::int32_t index = -1;
};

std::optional<ResolvedIcon> resolveIcon(const DesktopModule& module, const DesktopItem& item, bool open) {
  const std::vector<std::string> names = open ? openIconNames(item) : item.iconNames;
  const std::optional<DesktopIcon> found = module.lookupIcon(names, kLargeIconSize);
  if (!found) return std::nullopt;
  ResolvedIcon icon{names[found->nameIndex], found->file, -1};
  icon.index = SystemImageList::indexOf(icon.name, icon.largeFile);
  return icon;
}

std::optional<IconPixels> linkEmblem(const DesktopModule& module, int iconSize) {
  const int side = iconSize / 2;
  if (auto found = module.lookupIcon({kLinkEmblem}, side)) {
    if (auto drawn = module.render(found->file, side)) return drawn;
  }
  return drawnLinkEmblem(side);
}

// The icon in the state the flags ask for, as a new handle; 0 when the
// theme has no icon for the item.
IconHandle makeIcon(const DesktopModule& module, const ResolvedIcon& icon, std::uint32_t flags) {
  const bool small = flags & kShgfiSmallIcon;
  std::optional<IconPixels> pixels = SystemImageList::image(icon.index, small);
  if (!pixels) return 0;
  if (flags & kShgfiLinkOverlay) {
    if (auto emblem = linkEmblem(module, pixels->width)) overlayEmblem(*pixels, *emblem);
  }
  if (flags & kShgfiSelected) blendWithSelection(*pixels);
  return CreateIconFromPixels(std::move(*pixels));
}

}  // namespace

std::uint32_t SHGetFileInfoW(std::u16string_view path, ShFileInfo& info, std::uint32_t flags) {
  if (path.empty()) return fail(kErrorFileNotFound);
  const std::string native = nativePath(path);
  if (native.find('\0') != std::string::npos) return fail(kErrorInvalidName);
  struct stat link {};
  if (lstat(native.c_str(), &link) != 0) return fail(missingError(native, errno));

  if (flags & kShgfiExeType) return executableTypeOfFile(native);

  constexpr std::uint32_t kDesktopQuestions =
      kShgfiDisplayName | kShgfiTypeName | kShgfiIcon | kShgfiIconLocation | kShgfiSysIconIndex;
  const DesktopModule* module = nullptr;
  std::optional<DesktopItem> item;
  if (flags & kDesktopQuestions) {
    module = DesktopModule::instance();
    if (!module) return fail(kErrorModNotFound);
    int error = 0;
    item = describeItem(*module, native, link, error);
    if (!item) return fail(missingError(native, error));
  }

  std::uint32_t result = 1;
  if (flags & kShgfiAttributes) info.dwAttributes = shellAttributes(native, link);
  if (flags & kShgfiDisplayName) info.szDisplayName = fromUtf8(item->displayName);
  if (flags & kShgfiTypeName) info.szTypeName = fromUtf8(item->description);
  if (flags & (kShgfiIconLocation | kShgfiSysIconIndex | kShgfiIcon)) {
    const std::optional<ResolvedIcon> icon = resolveIcon(*module, *item, flags & kShgfiOpenIcon);
    if (flags & kShgfiIconLocation) {
      info.szDisplayName = icon ? fromNativePath(icon->largeFile) : std::u16string();
      info.iIcon = 0;
    }
    if (flags & (kShgfiSysIconIndex | kShgfiIcon)) {
      info.iIcon = icon ? icon->index : -1;
      result = SystemImageList::handle(flags & kShgfiSmallIcon);
    }
    if (flags & kShgfiIcon) {
      const IconHandle handle = icon ? makeIcon(*module, *icon, flags) : 0;
      if (handle == 0) return fail(kErrorFileNotFound);
      info.hIcon = handle;
    }
  }
  return result;
}

}  // namespace tov::platform
