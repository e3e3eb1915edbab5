#include "converter/CLocalization.h"

#include <array>
#include <utility>

#include "platform/CodePage.h"
#include "support/SettingsStore.h"
#include "ui/Form.h"

namespace quillmark {
namespace {

constexpr char16_t kSection[] = u"Localization";
constexpr char16_t kKey[] = u"LanguageID";
constexpr char16_t kBreak2[] = u"\r\n\r\n";

using Getter = std::u16string (CLocalization::*)() const;

// Property names as the relabelling builds them from a control's marker.
constexpr std::array<std::pair<std::u16string_view, Getter>, 14> kProperties{{
    {u"StrUsage", &CLocalization::StrUsage},
    {u"StrBrowseInFileFilter", &CLocalization::StrBrowseInFileFilter},
    {u"StrBrowseOutFileFilter", &CLocalization::StrBrowseOutFileFilter},
    {u"StrAllDone", &CLocalization::StrAllDone},
    {u"StrCantConvertReceivedData", &CLocalization::StrCantConvertReceivedData},
    {u"StrCantCreateTextFile", &CLocalization::StrCantCreateTextFile},
    {u"StrOutputIsInput", &CLocalization::StrOutputIsInput},
    {u"Str_frmMain_XMLFile_Label", &CLocalization::Str_frmMain_XMLFile_Label},
    {u"Str_frmMain_TXTFile_Label", &CLocalization::Str_frmMain_TXTFile_Label},
    {u"Str_frmMain_Settings_Frame", &CLocalization::Str_frmMain_Settings_Frame},
    {u"Str_frmMain_Encoding_Label", &CLocalization::Str_frmMain_Encoding_Label},
    {u"Str_frmMain_ParagraphType_Label", &CLocalization::Str_frmMain_ParagraphType_Label},
    {u"Str_frmMain_Start_Button", &CLocalization::Str_frmMain_Start_Button},
    {u"Str_frmMain_Exit_Button", &CLocalization::Str_frmMain_Exit_Button},
}};

// Property names are matched without regard to case, as a late-bound
// look-up does.
bool sameName(std::u16string_view a, std::u16string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    auto lower = [](char16_t c) { return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c + 32) : c; };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

}  // namespace

CLocalization::CLocalization(tov::AppInfo app) : app_(std::move(app)) {}

std::int32_t CLocalization::defaultLanguage() {
  return tov::platform::GetACP() == 1251 ? kRussian : kEnglish;
}

void CLocalization::LoadSettings() {
  tov::SettingsStore store;
  const tov::SettingValue stored = store.GetValue(kSection, kKey, 1, app_, std::int32_t{kNotChosen});
  // Anything that is not a number counts as "not a valid language".
  languageId_ = std::holds_alternative<std::int32_t>(stored) ? std::get<std::int32_t>(stored) : kEnglish + 1;
  if (languageId_ == kNotChosen) {
    languageId_ = defaultLanguage();
    if (chooser_) chooser_(*this);
  }
  if (languageId_ != kRussian && languageId_ != kEnglish) languageId_ = defaultLanguage();
  SaveSettings();
}

void CLocalization::SaveSettings() {
  tov::SettingsStore store;
  store.SetValue(kSection, kKey, 1, languageId_, app_);
}

void CLocalization::UpdateLabels(tov::ui::Form& form) const {
  for (tov::ui::Control* control : form.controls()) {
    if (!control->hasCaption()) continue;
    std::u16string key = control->tag();
    if (key.empty()) key = control->caption();
    if (key.empty() || key.front() != u'#') continue;
    if (auto text = textByName(u"Str_" + key.substr(1))) control->setCaption(*text);
    control->setTag(key);
  }
}

std::optional<std::u16string> CLocalization::textByName(std::u16string_view propertyName) const {
  for (const auto& [name, getter] : kProperties) {
    if (sameName(name, propertyName)) return (this->*getter)();
  }
  return std::nullopt;
}

std::u16string CLocalization::pick(std::u16string_view english, std::u16string_view russian) const {
  if (languageId_ == kEnglish) return std::u16string(english);
  if (languageId_ == kRussian) return std::u16string(russian);
  return {};
}

std::u16string CLocalization::StrUsage() const {
  const std::u16string head = app_.exeName + u"[.EXE] [InFileName [OutFileName]]" + kBreak2;
  if (languageId_ == kEnglish) {
    return u"Usage:" + std::u16string(kBreak2) + head + u"InFileName - Name of history XML file." + kBreak2 +
           u"OutFileName - Name of text file, result of XML file transformation. " +
           u"If skipped programm will use source file name with TXT extension.";
  }
  if (languageId_ == kRussian) {
    return u"Использование:" + std::u16string(kBreak2) + head + u"InFileName - Имя XML файла истории." + kBreak2 +
           u"OutFileName - Имя текстового файла, в который будет преобразован " +
           u"файл истории. Если не указан, к имени исходного файла " + u"будет добавлено расширение TXT.";
  }
  return {};
}

std::u16string CLocalization::StrBrowseInFileFilter() const {
  return pick(u"XML files|*.XML|All files|*.*", u"XML файлы|*.XML|Все файлы|*.*");
}

std::u16string CLocalization::StrBrowseOutFileFilter() const {
  return pick(u"Text files|*.ANP;*.EDT;*.TXT|All files|*.*", u"Текстовые файлы|*.ANP;*.EDT;*.TXT|Все файлы|*.*");
}

std::u16string CLocalization::StrAllDone() const { return pick(u"All done ^_^v", u"Готово ^_^v"); }

std::u16string CLocalization::StrCantConvertReceivedData() const {
  return pick(u"Can't convert received data.", u"Не удалось сконвертировать полученные данные.");
}

std::u16string CLocalization::StrCantCreateTextFile() const {
  return pick(u"Can't create text file.", u"Не удалось сохранить текстовый файл.");
}

std::u16string CLocalization::StrOutputIsInput() const {
  return pick(u"The text file is the XML file itself: writing it would destroy the history log.",
              u"Текстовый файл — это сам XML файл: запись уничтожила бы файл истории.");
}

std::u16string CLocalization::Str_frmMain_XMLFile_Label() const { return pick(u"XML file:", u"XML файл:"); }
std::u16string CLocalization::Str_frmMain_TXTFile_Label() const { return pick(u"TXT file:", u"TXT файл:"); }
std::u16string CLocalization::Str_frmMain_Settings_Frame() const { return pick(u" Settings ", u" Настройки "); }
std::u16string CLocalization::Str_frmMain_Encoding_Label() const { return pick(u"Encoding:", u"Кодировка:"); }
std::u16string CLocalization::Str_frmMain_ParagraphType_Label() const { return pick(u"Paragraph:", u"Абзацы:"); }
std::u16string CLocalization::Str_frmMain_Start_Button() const { return pick(u"Start!", u"Пуск!"); }
std::u16string CLocalization::Str_frmMain_Exit_Button() const { return pick(u"Exit", u"Выход"); }

}  // namespace quillmark
