#include "ui/qt/QtControlBinding.h"

#include <QComboBox>
#include <QDropEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>

#include "ui/qt/QtFileCompletion.h"
#include "ui/qt/QtFileDrop.h"
#include "ui/qt/QtFrameBox.h"
#include "ui/qt/QtText.h"

namespace tov::ui {

QtControlBinding::QtControlBinding(Control& control, QWidget* parent)
    : control_(&control), widget_(createWidget(parent)) {
  widget_->setObjectName(QString::fromStdString(control.displayName()));
  pushAll();
  connectInput();
}

QWidget* QtControlBinding::createWidget(QWidget* parent) const {
  switch (control_->kind()) {
    case ControlKind::Label: {
      auto* label = new QLabel(parent);
      label->setTextFormat(Qt::PlainText);
      label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
      return label;
    }
    case ControlKind::TextBox: {
      auto* edit = new QLineEdit(parent);
      edit->setAcceptDrops(true);
      return edit;
    }
    case ControlKind::ComboBox: return new QComboBox(parent);
    case ControlKind::ListBox: return new QListWidget(parent);
    case ControlKind::CommandButton: {
      auto* button = new QPushButton(parent);
      // Enter is the model's business, not the toolkit's.
      button->setAutoDefault(false);
      button->setAcceptDrops(true);
      return button;
    }
    case ControlKind::Frame: return new QtFrameBox(parent);
  }
  return new QWidget(parent);
}

void QtControlBinding::connectInput() {
  if (auto* edit = qobject_cast<QLineEdit*>(widget_)) {
    // A completion chosen from the list sets the text without an edit.
    QObject::connect(edit, &QLineEdit::textChanged, edit, [this] { textEdited(); });
    QObject::connect(edit, &QLineEdit::selectionChanged, edit, [this] { textEdited(); });
    QObject::connect(edit, &QLineEdit::cursorPositionChanged, edit, [this] { textEdited(); });
  } else if (auto* combo = qobject_cast<QComboBox*>(widget_)) {
    QObject::connect(combo, &QComboBox::activated, combo, [this](int row) { rowPicked(row); });
  } else if (auto* list = qobject_cast<QListWidget*>(widget_)) {
    QObject::connect(list, &QListWidget::currentRowChanged, list, [this](int row) { rowPicked(row); });
    QObject::connect(list, &QListWidget::itemDoubleClicked, list, [this] {
      if (control_) control_->doubleClick();
    });
  } else if (auto* button = qobject_cast<QPushButton*>(widget_)) {
    QObject::connect(button, &QPushButton::clicked, button, [this] {
      if (control_) control_->click();
    });
  }
}

void QtControlBinding::textEdited() {
  auto* edit = static_cast<QLineEdit*>(widget_);
  if (!control_) return;
  const int start = edit->hasSelectedText() ? edit->selectionStart() : edit->cursorPosition();
  const int length = edit->hasSelectedText() ? static_cast<int>(edit->selectedText().size()) : 0;
  const std::u16string text = fromQString(edit->text());
  if (text == control_->text() && start == control_->selStart() && length == control_->selLength()) return;
  if (!control_->userEdit(text, start, length) && control_) pushText();
}

void QtControlBinding::rowPicked(int row) {
  if (!control_ || row == control_->listIndex()) return;
  // A refused pick puts the widget back to the model's selection.
  if (!control_->pickItem(row) && control_) pushListIndex();
}

void QtControlBinding::pushAll() {
  if (control_->hasCaption()) pushCaption();
  if (control_->kind() == ControlKind::TextBox) {
    pushText();
    pushCompletion();
  }
  if (control_->kind() == ControlKind::ComboBox || control_->kind() == ControlKind::ListBox) pushItems();
  push(ControlProperty::Enabled);
  push(ControlProperty::Visible);
  pushPosition();
  const bool focusable = control_->kind() != ControlKind::Label && control_->kind() != ControlKind::Frame;
  widget_->setFocusPolicy(focusable ? Qt::StrongFocus : Qt::NoFocus);
}

void QtControlBinding::push(ControlProperty property) {
  if (!control_) return;
  const QSignalBlocker block(widget_);
  switch (property) {
    case ControlProperty::Caption: pushCaption(); break;
    case ControlProperty::Text: pushText(); break;
    case ControlProperty::Selection: pushSelection(); break;
    case ControlProperty::Items: pushItems(); break;
    case ControlProperty::ListIndex: pushListIndex(); break;
    case ControlProperty::Position: pushPosition(); break;
    case ControlProperty::Enabled: widget_->setEnabled(control_->enabled()); break;
    case ControlProperty::Visible: widget_->setHidden(!control_->visible()); break;
    case ControlProperty::Completion: pushCompletion(); break;
  }
}

void QtControlBinding::pushCaption() {
  const QString caption = toQString(control_->caption());
  if (auto* label = qobject_cast<QLabel*>(widget_)) label->setText(caption);
  if (auto* button = qobject_cast<QPushButton*>(widget_)) button->setText(caption);
  if (auto* frame = dynamic_cast<QtFrameBox*>(widget_)) frame->setTitle(caption);
}

void QtControlBinding::pushText() {
  auto* edit = static_cast<QLineEdit*>(widget_);
  const QSignalBlocker block(edit);
  const QString text = toQString(control_->text());
  if (edit->text() != text) edit->setText(text);
  pushSelection();
}

void QtControlBinding::pushSelection() {
  auto* edit = static_cast<QLineEdit*>(widget_);
  const QSignalBlocker block(edit);
  const int start = control_->selStart();
  const int length = control_->selLength();
  if (length > 0) {
    edit->setSelection(start, length);
  } else {
    edit->setCursorPosition(start);
  }
}

void QtControlBinding::pushItems() {
  const QSignalBlocker block(widget_);
  QStringList items;
  for (int i = 0; i < control_->listCount(); ++i) items.push_back(toQString(control_->item(i)));
  if (auto* combo = qobject_cast<QComboBox*>(widget_)) {
    combo->clear();
    combo->addItems(items);
  } else if (auto* list = qobject_cast<QListWidget*>(widget_)) {
    list->clear();
    list->addItems(items);
  }
  pushListIndex();
}

void QtControlBinding::pushListIndex() {
  const QSignalBlocker block(widget_);
  const int index = control_->listIndex();
  if (auto* combo = qobject_cast<QComboBox*>(widget_)) combo->setCurrentIndex(index);
  if (auto* list = qobject_cast<QListWidget*>(widget_)) {
    list->setCurrentRow(index);
    if (index < 0) list->clearSelection();
  }
}

void QtControlBinding::pushPosition() {
  const Rect& r = control_->position();
  widget_->setGeometry(twipsToPixels(r.left), twipsToPixels(r.top), twipsToPixels(r.width),
                       twipsToPixels(r.height));
}

void QtControlBinding::pushCompletion() {
  setFileNameCompletion(static_cast<QLineEdit*>(widget_), control_->fileNameCompletion());
}

bool QtControlBinding::dragEvent(QEvent* event) {
  if (!control_ || !control_->acceptsFileDrops()) return false;
  auto* drag = static_cast<QDropEvent*>(event);
  std::vector<std::u16string> files = droppedFileNames(drag->mimeData());
  // Anything else (text dragged into a field) is the widget's business.
  if (files.empty()) return false;
  if (event->type() == QEvent::Drop) {
    if (!control_->dropFiles(files)) return false;
  } else if (!control_->isEffectivelyEnabled()) {
    return false;
  }
  drag->acceptProposedAction();
  return true;
}

}  // namespace tov::ui
