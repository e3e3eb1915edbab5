#include "ui/qt/QtFileDrop.h"

#include <QMimeData>
#include <QUrl>

#include "ui/qt/QtText.h"

namespace tov::ui {

std::vector<std::u16string> droppedFileNames(const QMimeData* data) {
  std::vector<std::u16string> names;
  if (!data || !data->hasUrls()) return names;
  for (const QUrl& url : data->urls()) {
    if (url.isLocalFile() && !url.toLocalFile().isEmpty()) names.push_back(fromQString(url.toLocalFile()));
  }
  return names;
}

}  // namespace tov::ui
