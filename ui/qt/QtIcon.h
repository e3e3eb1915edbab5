#pragma once
// An icon of the model (image files of one picture at several sizes) as a
// Qt icon; Qt picks the size that fits where it is shown.
#include <QIcon>
#include <string>
#include <vector>

#include "ui/qt/QtText.h"

namespace tov::ui {

inline QIcon iconFromFiles(const std::vector<std::u16string>& files) {
  QIcon icon;
  for (const std::u16string& file : files) icon.addFile(toQString(file));
  return icon;
}

}  // namespace tov::ui
