#include "ui/qt/QtMessageBox.h"

#include <QMessageBox>
#include <QPushButton>
#include <utility>

#include "ui/qt/QtText.h"

namespace tov::ui {
namespace {

QMessageBox::Icon iconOf(MessageBoxIcon icon) {
  switch (icon) {
    case MessageBoxIcon::Error: return QMessageBox::Critical;
    case MessageBoxIcon::Question: return QMessageBox::Question;
    case MessageBoxIcon::Warning: return QMessageBox::Warning;
    case MessageBoxIcon::Information: return QMessageBox::Information;
    case MessageBoxIcon::None: break;
  }
  return QMessageBox::NoIcon;
}

QMessageBox::StandardButton buttonOf(int id) {
  switch (id) {
    case kIdCancel: return QMessageBox::Cancel;
    case kIdAbort: return QMessageBox::Abort;
    case kIdRetry: return QMessageBox::Retry;
    case kIdIgnore: return QMessageBox::Ignore;
    case kIdYes: return QMessageBox::Yes;
    case kIdNo: return QMessageBox::No;
    default: return QMessageBox::Ok;
  }
}

// Messages join their parts with CR LF pairs; Qt breaks lines at LF.
QString displayText(const std::u16string& text) {
  QString shown = toQString(text);
  shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  shown.replace(QChar(u'\r'), QChar(u'\n'));
  return shown;
}

}  // namespace

int showQtMessageBox(const MessageBoxRequest& request, QWidget* parent) {
  QMessageBox box(iconOf(request.icon()), toQString(request.title), displayText(request.text),
                  QMessageBox::NoButton, parent);
  box.setTextFormat(Qt::PlainText);
  std::vector<std::pair<QAbstractButton*, int>> ids;
  for (int id : request.buttons()) ids.emplace_back(box.addButton(buttonOf(id)), id);
  box.setDefaultButton(buttonOf(request.defaultButton()));
  // Escape and the close box answer Cancel where there is one, else the
  // only button; a Yes/No box can only be answered.
  if (QAbstractButton* cancel = box.button(QMessageBox::Cancel)) {
    box.setEscapeButton(cancel);
  } else if (ids.size() == 1) {
    box.setEscapeButton(ids.front().first);
  }
  box.exec();
  for (const auto& [button, id] : ids) {
    if (box.clickedButton() == button) return id;
  }
  return request.buttons().size() == 1 ? request.buttons().front() : kIdCancel;
}

}  // namespace tov::ui
