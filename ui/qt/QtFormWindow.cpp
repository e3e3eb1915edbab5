#include "ui/qt/QtFormWindow.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QIcon>
#include <QKeyEvent>
#include <QPixmap>

#include "ui/KeyCodes.h"
#include "ui/qt/QtFonts.h"
#include "ui/qt/QtIcon.h"
#include "ui/qt/QtKeyMap.h"
#include "ui/qt/QtText.h"

namespace tov::ui {

QtFormWindow::QtFormWindow(Form& form) : QWidget(nullptr, Qt::Window), form_(&form) {
  setObjectName(QString::fromStdString(form.name()));
  applyBorder();
  update(FormProperty::Caption);
  update(FormProperty::Font);
  update(FormProperty::Icon);
  update(FormProperty::Position);
  // Declaration order: a frame comes before the controls it holds.
  for (Control* control : form.controls()) {
    QWidget* parent = control->container() ? widgetFor(*control->container()) : this;
    bindings_.push_back(std::make_unique<QtControlBinding>(*control, parent ? parent : this));
    bindings_.back()->widget()->installEventFilter(this);
  }
  installEventFilter(this);
}

QtFormWindow::~QtFormWindow() {
  detach();
  // The widgets go while their bindings still exist, since a widget may
  // signal while it is taken down; last made first, so a frame's controls
  // go before the frame that owns them.
  for (auto it = bindings_.rbegin(); it != bindings_.rend(); ++it) delete (*it)->widget();
}

void QtFormWindow::detach() {
  form_ = nullptr;
  for (auto& binding : bindings_) binding->detach();
}

QtControlBinding* QtFormWindow::bindingFor(const Control& control) const {
  for (const auto& binding : bindings_) {
    if (binding->control() == &control) return binding.get();
  }
  return nullptr;
}

QtControlBinding* QtFormWindow::bindingFor(const QObject* widget) const {
  for (const auto& binding : bindings_) {
    if (binding->widget() == widget) return binding.get();
  }
  return nullptr;
}

QWidget* QtFormWindow::widgetFor(const Control& control) const {
  QtControlBinding* binding = bindingFor(control);
  return binding ? binding->widget() : nullptr;
}

void QtFormWindow::applySize() {
  const Size size = form_->clientSize();
  const QSize pixels(twipsToPixels(size.width), twipsToPixels(size.height));
  if (form_->fixedBorder()) {
    setFixedSize(pixels);
  } else {
    setMinimumSize(0, 0);
    setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    resize(pixels);
  }
}

// A window the user cannot resize offers no maximize button: its title bar
// has minimize and close, and a modal one close only, since a modal window
// minimized leaves its owner blocked with nothing to answer on screen.
// Window managers read the buttons from these hints only when the window
// lists them all itself.
Qt::WindowFlags QtFormWindow::borderFlags(bool fixed, bool modal) {
  if (!fixed) return Qt::Window;
  Qt::WindowFlags flags = Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint;
  if (!modal) flags |= Qt::WindowMinimizeButtonHint;
  return flags;
}

void QtFormWindow::applyBorder() {
  const Qt::WindowFlags flags = borderFlags(form_->fixedBorder(), form_->isModal());
  if (flags != windowFlags()) {
    // New flags make a new native window, which starts hidden.
    const bool shown = isVisible();
    setWindowFlags(flags);
    if (shown) show();
  }
  applySize();
}

void QtFormWindow::applyIcon() {
  if (form_->icon().empty()) {
    // An empty QIcon would fall back to the application's icon.
    QPixmap blank(16, 16);
    blank.fill(Qt::transparent);
    setWindowIcon(QIcon(blank));
  } else {
    setWindowIcon(iconFromFiles(form_->icon()));
  }
}

void QtFormWindow::update(FormProperty property) {
  if (!form_) return;
  switch (property) {
    case FormProperty::Caption: setWindowTitle(toQString(form_->caption())); break;
    case FormProperty::Position: move(twipsToPixels(form_->left()), twipsToPixels(form_->top())); break;
    case FormProperty::Size: applySize(); break;
    case FormProperty::Border: applyBorder(); break;
    case FormProperty::Font: setFont(fontFor(form_->fontName(), form_->fontSize())); break;
    case FormProperty::Icon: applyIcon(); break;
  }
}

void QtFormWindow::update(Control& control, ControlProperty property) {
  if (QtControlBinding* binding = bindingFor(control)) binding->push(property);
}

void QtFormWindow::showFocus(Control* control) {
  QWidget* widget = control ? widgetFor(*control) : nullptr;
  if (widget && !widget->hasFocus()) widget->setFocus(Qt::OtherFocusReason);
}

void QtFormWindow::closeEvent(QCloseEvent* event) {
  // The form decides; it closes the window itself when it unloads.
  event->ignore();
  if (form_) form_->pressCloseBox();
}

// Where the user's keys go: the control the form has the focus on. The
// toolkit's own focus can lag behind it for a moment, while a window that
// closed gives the focus back (see focusArrived).
QWidget* QtFormWindow::keyTarget() const {
  if (Control* chosen = form_->activeControl()) {
    if (QWidget* widget = widgetFor(*chosen)) return widget;
  }
  return focusWidget() ? focusWidget() : const_cast<QtFormWindow*>(this);
}

bool QtFormWindow::keyPressed(QObject* watched, QEvent* event) {
  QWidget* target = keyTarget();
  if (watched != target) {
    auto* widget = qobject_cast<QWidget*>(watched);
    // A key a widget did not use travels on to its parents; the form has
    // seen it already then.
    const bool travelling = widget && widget->isAncestorOf(target) && (widget != this || focusWidget());
    if (!widget || travelling || redirecting_) return false;
    // A key that reaches another control was typed before an earlier key
    // (Tab) moved the focus on, and queued for the control that had it then
    // (a completion list's keys arrive so): it belongs where the focus is
    // now, after the keys typed before it.
    redirecting_ = true;
    QCoreApplication::sendEvent(target, event);
    redirecting_ = false;
    event->accept();
    return true;
  }
  const KeyPress key = keyPressFrom(*static_cast<QKeyEvent*>(event));
  if (key.keyCode == 0) return false;
  // The style shows where the focus is once the keyboard has moved it.
  if (key.keyCode == kKeyTab) setAttribute(Qt::WA_KeyboardFocusChange);
  return form_->pressKey(key.keyCode, key.shift);
}

bool QtFormWindow::eventFilter(QObject* watched, QEvent* event) {
  if (!form_) return false;
  if (event->type() == QEvent::KeyPress) return keyPressed(watched, event);
  if (event->type() == QEvent::DragEnter || event->type() == QEvent::DragMove || event->type() == QEvent::Drop) {
    QtControlBinding* binding = bindingFor(watched);
    return binding && binding->dragEvent(event);
  }
  if (event->type() == QEvent::FocusIn) focusArrived(watched, static_cast<QFocusEvent*>(event)->reason());
  return false;
}

void QtFormWindow::focusArrived(QObject* watched, Qt::FocusReason reason) {
  QtControlBinding* binding = bindingFor(watched);
  if (!binding || !binding->control()) return;
  Control* chosen = form_->activeControl();
  // The toolkit hands the focus back when the window becomes active again
  // or a list closes, to whichever control it thinks had it. A completion
  // list that closed while the user typed on counts as a window of its own
  // and gives it to its field, after the user has tabbed away. The focus
  // stays where the user put it, which the form knows.
  if ((reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason) && chosen &&
      chosen != binding->control()) {
    showFocus(chosen);
    return;
  }
  binding->control()->setFocus();
}

}  // namespace tov::ui
