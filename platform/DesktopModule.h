#pragma once
// The desktop's answers about files (content type, description, display
// name, icon theme) through the desktop module, which is loaded on first
// use and kept for the rest of the run. The module is looked for in
// "tovapps" beside the library or program holding this code, then where
// the program's modules live, or only where TOVAPPS_DESKTOP_MODULE names it.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/IconPixels.h"

namespace tov::platform {

struct DesktopItem {
  std::string contentType;
  std::string description;  // UTF-8
  std::string displayName;  // UTF-8
  std::vector<std::string> iconNames;
};

struct DesktopIcon {
  std::string file;
  std::size_t nameIndex = 0;
};

class DesktopModule {
 public:
  // The loaded module; null when it cannot be loaded, with the reason in
  // problem(). Loading is tried once per process.
  static const DesktopModule* instance();
  static std::string problem();

  // Nothing, with the errno value in `error`, when the item cannot be described.
  std::optional<DesktopItem> describe(const std::string& nativePath, int& error) const;
  std::optional<DesktopIcon> lookupIcon(const std::vector<std::string>& names, int size) const;
  // A size x size image of the file; nothing when it cannot be drawn.
  std::optional<IconPixels> render(const std::string& file, int size) const;

  explicit DesktopModule(const void* api) : api_(api) {}

 private:
  const void* api_;
};

}  // namespace tov::platform
