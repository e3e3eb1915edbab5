#include "ui/qt/QtBackend.h"

#include <QApplication>
#include <QScreen>
#include <exception>
#include <thread>

#include "ui/ApplicationWindow.h"
#include "ui/HandleTable.h"
#include "ui/qt/QtAboutBox.h"
#include "ui/qt/QtIcon.h"
#include "ui/qt/QtMessageBox.h"

namespace tov::ui {
namespace {

void showApplicationIcon() {
  const std::vector<std::u16string>& icon = ApplicationWindow::instance().icon();
  QApplication::setWindowIcon(icon.empty() ? QIcon() : iconFromFiles(icon));
}

// Keeps the user's input from every window while the program is busy: it
// would act on a state about to change (Start again, Exit in the middle of
// the write). Closing a window waits too.
class InputBlock : public QObject {
 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    switch (event->type()) {
      case QEvent::KeyPress:
      case QEvent::KeyRelease:
      case QEvent::ShortcutOverride:
      case QEvent::Shortcut:
      case QEvent::MouseButtonPress:
      case QEvent::MouseButtonRelease:
      case QEvent::MouseButtonDblClick:
      case QEvent::Wheel:
      case QEvent::ContextMenu:
      case QEvent::TouchBegin:
      case QEvent::TouchUpdate:
      case QEvent::TouchEnd:
      case QEvent::DragEnter:
      case QEvent::DragMove:
      case QEvent::Drop:
      case QEvent::Close:
        event->ignore();
        return true;
      default: return false;
    }
  }
};

// Over a message box or dialog the user has something to do: the ordinary
// pointer, even while the program is busy.
class DialogPointer {
 public:
  DialogPointer() : busy_(QApplication::overrideCursor() != nullptr) {
    if (busy_) QApplication::setOverrideCursor(Qt::ArrowCursor);
  }
  ~DialogPointer() {
    if (busy_) QApplication::restoreOverrideCursor();
  }
  DialogPointer(const DialogPointer&) = delete;
  DialogPointer& operator=(const DialogPointer&) = delete;

 private:
  bool busy_;
};

}  // namespace

QtBackend::QtBackend() {
  QApplication::setQuitOnLastWindowClosed(false);
  // The program may have given itself an icon before the toolkit started.
  if (!ApplicationWindow::instance().icon().empty()) showApplicationIcon();
}

QtBackend::~QtBackend() {
  for (auto& [form, window] : windows_) delete window;
  // Windows already closed wait for deletion in the event queue.
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

QtFormWindow* QtBackend::windowFor(const Form& form) const {
  auto it = windows_.find(&form);
  return it == windows_.end() ? nullptr : it->second;
}

QWidget* QtBackend::widgetFor(const Control& control) const {
  QtFormWindow* window = windowFor(control.form());
  return window ? window->widgetFor(control) : nullptr;
}

void QtBackend::showForm(Form& form) {
  QtFormWindow*& window = windows_[&form];
  if (!window) window = new QtFormWindow(form);
  // A window shown again may be modal now, or no longer: its title bar follows.
  window->update(FormProperty::Border);
  window->setWindowModality(form.isModal() ? Qt::ApplicationModal : Qt::NonModal);
  window->show();
  window->raise();
  window->activateWindow();
}

void QtBackend::hideForm(Form& form) {
  if (QtFormWindow* window = windowFor(form)) window->hide();
  endLoopsOf(form);
}

void QtBackend::dropForm(Form& form) {
  auto it = windows_.find(&form);
  if (it != windows_.end()) {
    QtFormWindow* window = it->second;
    windows_.erase(it);
    window->detach();
    window->hide();
    // It may be the window whose event is being handled right now.
    window->deleteLater();
  }
  endLoopsOf(form);
}

bool QtBackend::anyFormShown() const {
  for (const auto& [form, window] : windows_) {
    if (form->isVisible()) return true;
  }
  return false;
}

void QtBackend::endLoopsOf(const Form& form) {
  for (const ModalLoop& modal : modalLoops_) {
    if (modal.form == &form) modal.loop->quit();
  }
  if (mainLoop_ && !anyFormShown()) mainLoop_->quit();
}

void QtBackend::runModal(Form& form) {
  if (!form.isVisible()) return;
  QEventLoop loop;
  modalLoops_.push_back({&form, &loop});
  loop.exec();
  modalLoops_.pop_back();
}

void QtBackend::formChanged(Form& form, FormProperty property) {
  if (form.isApplicationWindow() && property == FormProperty::Icon) showApplicationIcon();
  if (QtFormWindow* window = windowFor(form)) window->update(property);
}

void QtBackend::controlChanged(Control& control, ControlProperty property) {
  if (QtFormWindow* window = windowFor(control.form())) window->update(control, property);
}

void QtBackend::focusChanged(Form& form, Control* control) {
  if (QtFormWindow* window = windowFor(form)) window->showFocus(control);
}

int QtBackend::messageBox(const MessageBoxRequest& request) {
  const DialogPointer pointer;
  return showQtMessageBox(request, QApplication::activeWindow());
}

QWidget* QtBackend::ownerWidget(Handle owner) const {
  Form* form = HandleTable::form(owner);
  QWidget* window = form ? windowFor(*form) : nullptr;
  return window ? window : QApplication::activeWindow();
}

void QtBackend::aboutBox(const AboutBoxRequest& request) {
  const DialogPointer pointer;
  showQtAboutBox(request, ownerWidget(request.owner));
}

void QtBackend::runEventLoop() {
  if (!anyFormShown()) return;
  QEventLoop loop;
  mainLoop_ = &loop;
  loop.exec();
  mainLoop_ = nullptr;
}

Size QtBackend::screenSize() const {
  const QScreen* screen = QGuiApplication::primaryScreen();
  if (!screen) return {pixelsToTwips(1024), pixelsToTwips(768)};
  const QRect area = screen->availableGeometry();
  return {pixelsToTwips(area.width()), pixelsToTwips(area.height())};
}

void QtBackend::setBusy(bool busy) {
  if (busy) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
  } else {
    QApplication::restoreOverrideCursor();
  }
}

// The work runs beside the event loop, which goes on painting the windows
// while their input is held off; the loop ends when the work is done.
void QtBackend::runBusy(const std::function<void()>& work) {
  InputBlock block;
  qApp->installEventFilter(&block);
  QEventLoop loop;
  std::exception_ptr failure;
  std::thread worker([&] {
    try {
      work();
    } catch (...) {
      failure = std::current_exception();
    }
    QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
  });
  loop.exec();
  worker.join();
  qApp->removeEventFilter(&block);
  if (failure) std::rethrow_exception(failure);
}

}  // namespace tov::ui
