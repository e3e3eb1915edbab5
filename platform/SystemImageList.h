#pragma once
// The system image list: one process-wide list of the icons the shell has
// given out an index for, in a large (32 x 32) and a small (16 x 16) form
// that share their indexes, each list with a handle that stays the same for
// the whole run. Files that show the same theme icon share one entry, so an
// index says "this kind of icon" the way it does on the desktop.
//
// Entries are never removed; an entry's images are drawn on first request
// and kept.
#include <cstdint>
#include <optional>
#include <string>

#include "platform/IconHandles.h"

namespace tov::platform {

inline constexpr int kLargeIconSize = 32;
inline constexpr int kSmallIconSize = 16;

// ImageList_GetIcon's drawing flags; the icon is drawn as it is whatever
// they say.
inline constexpr std::uint32_t kIldNormal = 0;

class SystemImageList {
 public:
  static std::uint32_t handle(bool small);

  // The index of the theme icon `name`, found as `largeFile` at the large
  // size; a new entry at the end when the list has none for them.
  static std::int32_t indexOf(const std::string& name, const std::string& largeFile);

  // The entry's image at the list's size; nothing for an index the list
  // does not hold or an icon that cannot be drawn.
  static std::optional<IconPixels> image(std::int32_t index, bool small);
};

// As the common controls answer them: -1 / 0 for a handle that is no image list.
std::int32_t ImageList_GetImageCount(std::uint32_t imageList);
IconHandle ImageList_GetIcon(std::uint32_t imageList, std::int32_t index, std::uint32_t flags);

}  // namespace tov::platform
