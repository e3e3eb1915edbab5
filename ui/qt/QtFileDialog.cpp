#include "ui/qt/QtFileDialog.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

#include "ui/qt/QtBackend.h"
#include "ui/qt/QtText.h"

namespace tov::ui {
namespace {

QString qtPatterns(const QString& patterns) {
  QStringList kept;
  for (QString pattern : patterns.split(u';', Qt::SkipEmptyParts)) {
    pattern = pattern.trimmed();
    if (pattern == QStringLiteral("*.*")) pattern = QStringLiteral("*");
    if (!pattern.isEmpty() && !kept.contains(pattern)) kept.push_back(pattern);
  }
  return kept.join(u' ');
}

void startWhereAsked(QFileDialog& dialog, const FileDialogRequest& request) {
  const QString directory = toQString(request.initialDirectory);
  if (!directory.isEmpty() && QFileInfo(directory).isDir()) dialog.setDirectory(directory);
  // A name with a directory of its own opens there, as it would have been
  // chosen from there.
  const QString name = toQString(request.fileName);
  if (name.isEmpty()) return;
  const QFileInfo file(name);
  if (file.isAbsolute() && file.dir().exists()) dialog.setDirectory(file.dir());
  dialog.selectFile(file.isAbsolute() ? file.fileName() : name);
}

}  // namespace

QStringList qtNameFilters(std::u16string_view filter) {
  const QStringList parts = toQString(filter).split(u'|');
  QStringList filters;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    const QString patterns = qtPatterns(parts[i + 1]);
    if (patterns.isEmpty()) continue;
    const QString label = parts[i].trimmed().isEmpty() ? patterns : parts[i].trimmed();
    filters.push_back(label + QStringLiteral(" (") + patterns + u')');
  }
  return filters;
}

bool showQtFileDialog(const FileDialogRequest& request, QWidget* owner, std::u16string& chosen) {
  QFileDialog dialog(owner);
  // Qt's own dialog: its name filters match without regard to case, so
  // "*.XML" finds chat.xml, which a desktop's native dialog may not do.
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setFilter(dialog.filter() & ~QDir::CaseSensitive);
  dialog.setAcceptMode(request.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(request.save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  const QStringList filters = qtNameFilters(request.filter);
  if (!filters.isEmpty()) dialog.setNameFilters(filters);
  startWhereAsked(dialog, request);
  dialog.setWindowModality(Qt::ApplicationModal);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
  chosen = fromQString(QDir::toNativeSeparators(dialog.selectedFiles().front()));
  return true;
}

bool showQtFileDialog(const FileDialogRequest& request, std::u16string& chosen) {
  auto* backend = dynamic_cast<QtBackend*>(&Backend::current());
  return showQtFileDialog(request, backend ? backend->ownerWidget(request.ownerWindow) : nullptr, chosen);
}

}  // namespace tov::ui
