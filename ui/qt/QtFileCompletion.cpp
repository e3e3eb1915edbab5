#include "ui/qt/QtFileCompletion.h"

#include <QAbstractItemView>
#include <QCompleter>
#include <QDir>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QLineEdit>

namespace tov::ui {
namespace {

// The directory the typed path goes on in; empty for names without one.
QString typedDirectory(const QString& text) {
  const QFileInfo typed(text);
  return typed.isAbsolute() ? QDir::cleanPath(typed.path()) : QString();
}

// The model reads a directory only once the completer walks into it, level
// by level; a path typed fast or pasted would find nothing. So the typed
// path's directory is read at once, and the list offered when it is in.
void readAhead(QLineEdit* edit, QCompleter* completer, QFileSystemModel* files) {
  QObject::connect(edit, &QLineEdit::textEdited, completer, [files](const QString& text) {
    const QString dir = typedDirectory(text);
    if (!dir.isEmpty()) files->index(dir);
  });
  QObject::connect(files, &QFileSystemModel::directoryLoaded, completer, [edit, completer](const QString& dir) {
    // A list already shown follows the model by itself; showing it again
    // would lose the entry the user has moved to.
    if (!edit->hasFocus() || completer->popup()->isVisible()) return;
    if (typedDirectory(edit->text()) != QDir::cleanPath(dir)) return;
    completer->setCompletionPrefix(edit->text());
    if (completer->completionCount() > 0) completer->complete();
  });
}

}  // namespace

void setFileNameCompletion(QLineEdit* edit, bool on) {
  if (on == hasFileNameCompletion(edit)) return;
  if (!on) {
    // The field deletes the completer it owns.
    edit->setCompleter(nullptr);
    return;
  }
  auto* completer = new QCompleter(edit);
  auto* files = new QFileSystemModel(completer);
  files->setFilter(QDir::AllEntries | QDir::NoDotAndDotDot);
  files->setRootPath(QString());
  completer->setModel(files);
  completer->setCompletionMode(QCompleter::PopupCompletion);
  edit->setCompleter(completer);
  readAhead(edit, completer, files);
}

bool hasFileNameCompletion(const QLineEdit* edit) {
  const QCompleter* completer = edit->completer();
  return completer && qobject_cast<const QFileSystemModel*>(completer->model());
}

}  // namespace tov::ui
