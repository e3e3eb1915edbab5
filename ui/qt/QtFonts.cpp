#include "ui/qt/QtFonts.h"

#include <QFontDatabase>
#include <QList>
#include <QStringList>
#include <algorithm>
#include <cmath>
#include <map>

#include "ui/FontChoice.h"
#include "ui/qt/QtText.h"

namespace tov::ui {
namespace {

std::vector<FontFamilyInfo> installedFamilies() {
  std::vector<FontFamilyInfo> installed;
  for (const QString& family : QFontDatabase::families()) {
    FontFamilyInfo info;
    info.family = family.toStdString();
    info.cyrillic = QFontDatabase::writingSystems(family).contains(QFontDatabase::Cyrillic);
    info.fixedPitch = QFontDatabase::isFixedPitch(family);
    installed.push_back(std::move(info));
  }
  return installed;
}

QString familyFor(const std::u16string& requested) {
  static std::map<std::u16string, QString> chosen;
  auto it = chosen.find(requested);
  if (it == chosen.end()) {
    const std::string name = toQString(requested).toStdString();
    it = chosen.emplace(requested, QString::fromStdString(chooseFontFamily(name, installedFamilies()))).first;
  }
  return it->second;
}

}  // namespace

QFont fontFor(const std::u16string& family, double points) {
  QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
  const QString chosen = familyFor(family);
  if (!chosen.isEmpty()) font.setFamily(chosen);
  font.setPixelSize(std::max(1, static_cast<int>(std::lround(points * 96.0 / 72.0))));
  return font;
}

}  // namespace tov::ui
