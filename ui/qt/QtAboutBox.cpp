#include "ui/qt/QtAboutBox.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "ui/qt/QtIcon.h"
#include "ui/qt/QtText.h"

namespace tov::ui {
namespace {

constexpr int kIconSize = 32;
// Wide enough for a one-line dedication; longer texts wrap.
constexpr int kTextWidth = 300;

QLabel* textLabel(const QString& name, const std::u16string& text, QWidget* parent) {
  auto* label = new QLabel(parent);
  label->setObjectName(name);
  label->setTextFormat(Qt::PlainText);
  label->setWordWrap(true);
  label->setTextInteractionFlags(Qt::TextSelectableByMouse);
  label->setText(toQString(text));
  return label;
}

QLabel* iconLabel(const std::vector<std::u16string>& files, QWidget* parent) {
  auto* label = new QLabel(parent);
  label->setObjectName(QStringLiteral("icon"));
  label->setAlignment(Qt::AlignTop);
  label->setPixmap(iconFromFiles(files).pixmap(kIconSize, kIconSize));
  return label;
}

}  // namespace

QtAboutBox::QtAboutBox(const AboutBoxRequest& request, QWidget* parent) : QDialog(parent) {
  setWindowTitle(toQString(request.windowTitle()));
  auto* texts = new QVBoxLayout;
  QLabel* title = textLabel(QStringLiteral("title"), request.title, this);
  title->setWordWrap(false);
  title->setMinimumWidth(kTextWidth);
  QFont bold = title->font();
  bold.setBold(true);
  title->setFont(bold);
  texts->addWidget(title);
  texts->addWidget(textLabel(QStringLiteral("version"), u"Version " + request.version, this));
  if (!request.extraText.empty()) texts->addWidget(textLabel(QStringLiteral("extraText"), request.extraText, this));
  if (!request.dedication.empty()) {
    texts->addSpacing(8);
    texts->addWidget(textLabel(QStringLiteral("dedication"), request.dedication, this));
  }
  auto* top = new QHBoxLayout;
  if (!request.icon.empty()) top->addWidget(iconLabel(request.icon, this), 0, Qt::AlignTop);
  top->addLayout(texts, 1);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addWidget(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

void showQtAboutBox(const AboutBoxRequest& request, QWidget* parent) {
  QtAboutBox box(request, parent);
  box.exec();
}

}  // namespace tov::ui
