#include "ui/qt/QtFileCompletion.h"

#include <QAbstractItemView>
#include <QCompleter>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLineEdit>
#include <QSet>
#include <memory>

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
// Only on that first reading: the model reads a directory again whenever a
// file in it changes (the conversion writing its output, say), and a list
// nobody typed for would open over whatever the user is doing.
void readAhead(QLineEdit* edit, QCompleter* completer, QFileSystemModel* files) {
  struct Reading {
    QSet<QString> done;
    QString awaited;
  };
  auto reading = std::make_shared<Reading>();
  QObject::connect(edit, &QLineEdit::textEdited, completer, [files, reading](const QString& text) {
    const QString dir = typedDirectory(text);
    reading->awaited = dir.isEmpty() || reading->done.contains(dir) ? QString() : dir;
    if (!reading->awaited.isEmpty()) files->index(dir);
  });
  QObject::connect(files, &QFileSystemModel::directoryLoaded, completer,
                   [edit, completer, reading](const QString& loaded) {
                     const QString dir = QDir::cleanPath(loaded);
                     reading->done.insert(dir);
                     if (reading->awaited.isEmpty() || dir != reading->awaited) return;
                     reading->awaited.clear();
                     // A list already shown follows the model by itself;
                     // showing it again would lose the entry the user has
                     // moved to.
                     if (!edit->hasFocus() || !edit->isActiveWindow() || completer->popup()->isVisible()) return;
                     if (typedDirectory(edit->text()) != dir) return;
                     completer->setCompletionPrefix(edit->text());
                     if (completer->completionCount() > 0) completer->complete();
                   });
}

// While the list is open the toolkit gives it every key, and the completer
// hands most of them to the field behind the window's back, so the window
// never sees them, Tab stays in the field and Ctrl+Enter only closes the
// list. Here the list keeps only what it is for: moving through it, Enter
// on an entry the user moved to, and Escape to close it. Every other key
// goes to the field the way a key normally does, through the window, which
// passes it on to whatever has the focus by then; Tab, Enter and shortcuts
// close the list first, taking nothing from it.
class CompletionKeys : public QObject {
 public:
  CompletionKeys(QLineEdit* edit, QCompleter* completer) : QObject(completer), edit_(edit), completer_(completer) {}

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::KeyPress && event->type() != QEvent::KeyRelease) return false;
    QAbstractItemView* popup = completer_->popup();
    if (watched != popup) return false;
    const auto& key = *static_cast<QKeyEvent*>(event);
    if (event->type() == QEvent::KeyPress && popup->isVisible()) {
      if (belongsToList(key, *popup)) return false;
      if (closesList(key)) popup->hide();
    }
    // Also the keys that reach the list after it closed, queued for it
    // while it was open.
    QCoreApplication::sendEvent(edit_, event);
    return true;
  }

 private:
  static bool belongsToList(const QKeyEvent& key, const QAbstractItemView& popup) {
    switch (key.key()) {
      case Qt::Key_Up:
      case Qt::Key_Down:
      case Qt::Key_PageUp:
      case Qt::Key_PageDown: return true;
      case Qt::Key_Escape: return key.modifiers() == Qt::NoModifier;
      case Qt::Key_Return:
      case Qt::Key_Enter:
        // Only an entry the user has moved to is taken.
        return (key.modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier &&
               popup.selectionModel()->hasSelection();
      default: return false;
    }
  }

  static bool closesList(const QKeyEvent& key) {
    switch (key.key()) {
      case Qt::Key_Tab:
      case Qt::Key_Backtab:
      case Qt::Key_Return:
      case Qt::Key_Enter: return true;
      // A modifier on its own may start a shortcut or a capital letter.
      case Qt::Key_Control:
      case Qt::Key_Shift:
      case Qt::Key_Alt:
      case Qt::Key_Meta: return false;
      default: break;
    }
    if (key.key() >= Qt::Key_F1 && key.key() <= Qt::Key_F35) return true;
    return (key.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) != 0;
  }

  QLineEdit* edit_;
  QCompleter* completer_;
};

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
  // The completer opens its list by itself whenever the model reads a
  // directory in which the typed name had no match; readAhead does that
  // for typing only.
  QObject::disconnect(files, &QFileSystemModel::directoryLoaded, completer, nullptr);
  completer->setCompletionMode(QCompleter::PopupCompletion);
  edit->setCompleter(completer);
  // Installed after the completer's own filter on its list, so it runs first.
  completer->popup()->installEventFilter(new CompletionKeys(edit, completer));
  readAhead(edit, completer, files);
}

bool hasFileNameCompletion(const QLineEdit* edit) {
  const QCompleter* completer = edit->completer();
  return completer && qobject_cast<const QFileSystemModel*>(completer->model());
}

}  // namespace tov::ui
