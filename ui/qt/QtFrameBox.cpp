#include "ui/qt/QtFrameBox.h"

#include <QPainter>
#include <QStyle>

namespace tov::ui {
namespace {

// The caption starts a little way in from the frame's left edge.
constexpr int kCaptionIndent = 6;

}  // namespace

QRect QtFrameBox::captionRect() const {
  const QFontMetrics metrics(font());
  const int width = title().isEmpty() ? 0 : metrics.horizontalAdvance(title());
  return QRect(kCaptionIndent, 0, std::min(width, std::max(0, this->width() - 2 * kCaptionIndent)), metrics.height());
}

QRect QtFrameBox::borderRect() const {
  const int top = QFontMetrics(font()).height() / 2;
  return QRect(0, top, width(), std::max(0, height() - top));
}

void QtFrameBox::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  // An etched line: a shadow line with a light one beside it.
  const QRect border = borderRect();
  painter.setPen(palette().color(QPalette::Dark));
  painter.drawRect(border.adjusted(0, 0, -2, -2));
  painter.setPen(palette().color(QPalette::Light));
  painter.drawRect(border.adjusted(1, 1, -1, -1));
  if (title().isEmpty()) return;
  const QRect caption = captionRect();
  // The caption breaks the line behind it.
  painter.fillRect(caption, palette().color(backgroundRole()));
  style()->drawItemText(&painter, caption, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextShowMnemonic, palette(),
                        isEnabled(), title(), QPalette::WindowText);
}

}  // namespace tov::ui
