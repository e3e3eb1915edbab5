#pragma once
// One icon as the shell gave it: the picture and its index in the system
// image list (-1 for the library's fallback icon, when the shell had none).
// Filled once by the object that makes it and never changed.
#include <cstdint>

#include "support/IconImage.h"

namespace ferrule {

class ShellFileIcon {
 public:
  // InitIcon.
  ShellFileIcon(std::int32_t index, tov::IconImage icon) : index_(index), icon_(std::move(icon)) {}

  std::int32_t Index() const { return index_; }
  const tov::IconImage& Icon() const { return icon_; }

 private:
  std::int32_t index_;
  tov::IconImage icon_;
};

}  // namespace ferrule
