// The interface texts in both languages, the look-up by name, the stored
// language and the relabelling of marked controls.
#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

#include "CodePageOverride.h"
#include "ScopedEnv.h"
#include "TempDir.h"
#include "converter/CLocalization.h"
#include "support/SettingsStore.h"
#include "ui/Form.h"

using namespace quillmark;

namespace {

const tov::AppInfo kApp{u"Quillmark", u"TOVapps - Quillmark", 1, 1, 4, u"x"};

class Localization : public ::testing::Test {
 protected:
  void storeLanguage(tov::SettingValue value) {
    tov::SettingsStore().SetValue(u"Localization", u"LanguageID", 1, value, kApp);
  }
  tov::SettingValue storedLanguage() {
    return tov::SettingsStore().GetValue(u"Localization", u"LanguageID", 1, kApp, tov::SettingValue());
  }

  tovtest::TempDir config{"loc"};
  tovtest::ScopedEnv configHome{"XDG_CONFIG_HOME", config.path().c_str()};
  CLocalization loc{kApp};
};

TEST_F(Localization, EnglishTexts) {
  loc.setLanguageID(CLocalization::kEnglish);
  EXPECT_EQ(loc.StrUsage(),
            u"Usage:\r\n\r\nx[.EXE] [InFileName [OutFileName]]\r\n\r\nInFileName - Name of history XML file.\r\n\r\n"
            u"OutFileName - Name of text file, result of XML file transformation. "
            u"If skipped programm will use source file name with TXT extension.");
  EXPECT_EQ(loc.StrBrowseInFileFilter(), u"XML files|*.XML|All files|*.*");
  EXPECT_EQ(loc.StrBrowseOutFileFilter(), u"Text files|*.ANP;*.EDT;*.TXT|All files|*.*");
  EXPECT_EQ(loc.StrAllDone(), u"All done ^_^v");
  EXPECT_EQ(loc.StrCantConvertReceivedData(), u"Can't convert received data.");
  EXPECT_EQ(loc.StrCantCreateTextFile(), u"Can't create text file.");
  EXPECT_EQ(loc.Str_frmMain_XMLFile_Label(), u"XML file:");
  EXPECT_EQ(loc.Str_frmMain_TXTFile_Label(), u"TXT file:");
  EXPECT_EQ(loc.Str_frmMain_Settings_Frame(), u" Settings ");
  EXPECT_EQ(loc.Str_frmMain_Encoding_Label(), u"Encoding:");
  EXPECT_EQ(loc.Str_frmMain_ParagraphType_Label(), u"Paragraph:");
  EXPECT_EQ(loc.Str_frmMain_Start_Button(), u"Start!");
  EXPECT_EQ(loc.Str_frmMain_Exit_Button(), u"Exit");
}

TEST_F(Localization, RussianTexts) {
  loc.setLanguageID(CLocalization::kRussian);
  EXPECT_EQ(loc.StrUsage(),
            u"Использование:\r\n\r\nx[.EXE] [InFileName [OutFileName]]\r\n\r\nInFileName - Имя XML файла истории.\r\n\r\n"
            u"OutFileName - Имя текстового файла, в который будет преобразован файл истории. "
            u"Если не указан, к имени исходного файла будет добавлено расширение TXT.");
  EXPECT_EQ(loc.StrBrowseInFileFilter(), u"XML файлы|*.XML|Все файлы|*.*");
  EXPECT_EQ(loc.StrBrowseOutFileFilter(), u"Текстовые файлы|*.ANP;*.EDT;*.TXT|Все файлы|*.*");
  EXPECT_EQ(loc.StrAllDone(), u"Готово ^_^v");
  EXPECT_EQ(loc.StrCantConvertReceivedData(), u"Не удалось сконвертировать полученные данные.");
  EXPECT_EQ(loc.StrCantCreateTextFile(), u"Не удалось сохранить текстовый файл.");
  EXPECT_EQ(loc.Str_frmMain_XMLFile_Label(), u"XML файл:");
  EXPECT_EQ(loc.Str_frmMain_TXTFile_Label(), u"TXT файл:");
  EXPECT_EQ(loc.Str_frmMain_Settings_Frame(), u" Настройки ");
  EXPECT_EQ(loc.Str_frmMain_Encoding_Label(), u"Кодировка:");
  EXPECT_EQ(loc.Str_frmMain_ParagraphType_Label(), u"Абзацы:");
  EXPECT_EQ(loc.Str_frmMain_Start_Button(), u"Пуск!");
  EXPECT_EQ(loc.Str_frmMain_Exit_Button(), u"Выход");
}

TEST_F(Localization, NoLanguageMeansNoTextAndNamesAreLookedUp) {
  loc.setLanguageID(7);
  EXPECT_EQ(loc.StrUsage(), u"");
  EXPECT_EQ(loc.StrAllDone(), u"");
  EXPECT_EQ(loc.textByName(u"Str_frmMain_Exit_Button"), std::optional<std::u16string>(u""));
  loc.setLanguageID(CLocalization::kEnglish);
  EXPECT_EQ(loc.textByName(u"Str_frmMain_Exit_Button"), std::optional<std::u16string>(u"Exit"));
  EXPECT_EQ(loc.textByName(u"str_FRMMAIN_exit_button"), std::optional<std::u16string>(u"Exit"));
  EXPECT_EQ(loc.textByName(u"Str_frmMain_Nothing"), std::nullopt);
}

TEST_F(Localization, StoredLanguageAndItsRepairs) {
  struct Case {
    tov::SettingValue stored;
    const char* acp;
    std::int32_t expected;
  } cases[] = {
      {std::int32_t{0}, "1252", 0},
      {std::int32_t{1}, "1251", 1},
      {std::int32_t{5}, "1251", 0},
      {std::int32_t{5}, "1252", 1},
      {std::u16string(u"ru"), "1251", 0},
  };
  for (const auto& c : cases) {
    tovtest::CodePageOverride pages(c.acp, "866");
    storeLanguage(c.stored);
    bool asked = false;
    loc.setLanguageChooser([&](CLocalization&) { asked = true; });
    loc.LoadSettings();
    EXPECT_FALSE(asked);
    EXPECT_EQ(loc.LanguageID(), c.expected);
    EXPECT_EQ(storedLanguage(), tov::SettingValue(c.expected));
  }
}

TEST_F(Localization, FirstStartAsksWithTheDefaultPreselectedAndAlwaysStores) {
  tovtest::CodePageOverride pages("1251", "866");
  std::int32_t preselected = -5;
  loc.setLanguageChooser([&](CLocalization& l) { preselected = l.LanguageID(); });
  loc.LoadSettings();
  EXPECT_EQ(preselected, 0);
  EXPECT_EQ(storedLanguage(), tov::SettingValue(std::int32_t{0}));

  // Without anyone to ask, the preselected choice stands and is stored.
  std::filesystem::remove_all(config.path() / "TOVapps");
  tovtest::CodePageOverride western("1252", "850");
  CLocalization unattended(kApp);
  unattended.LoadSettings();
  EXPECT_EQ(unattended.LanguageID(), 1);
  EXPECT_EQ(storedLanguage(), tov::SettingValue(std::int32_t{1}));
}

TEST_F(Localization, UpdateLabelsUsesTheMarkerAndKeepsItInTheTag) {
  tov::ui::Form form("frmTest");
  auto& marked = form.add({tov::ui::ControlKind::CommandButton, "cmdStart", -1, u"#frmMain_Start_Button", {}});
  auto& plain = form.add({tov::ui::ControlKind::CommandButton, "cmdLanguage", -1, u"Language", {}});
  auto& unknown = form.add({tov::ui::ControlKind::Label, "lblOther", -1, u"#frmMain_NoSuchText", {}});
  auto& field = form.add({tov::ui::ControlKind::TextBox, "txtName", -1, u"", {}});
  auto& tagged = form.add({tov::ui::ControlKind::Label, "lblTag", 0, u"anything", {}});
  tagged.setTag(u"#frmMain_XMLFile_Label");
  field.setText(u"#frmMain_Exit_Button");

  loc.setLanguageID(CLocalization::kEnglish);
  loc.UpdateLabels(form);
  EXPECT_EQ(marked.caption(), u"Start!");
  EXPECT_EQ(marked.tag(), u"#frmMain_Start_Button");
  EXPECT_EQ(plain.caption(), u"Language");
  EXPECT_EQ(plain.tag(), u"");
  EXPECT_EQ(unknown.caption(), u"#frmMain_NoSuchText");
  EXPECT_EQ(unknown.tag(), u"#frmMain_NoSuchText");
  EXPECT_EQ(tagged.caption(), u"XML file:");
  EXPECT_EQ(field.text(), u"#frmMain_Exit_Button");

  // A later pass finds the marker in the tag and relabels again.
  loc.setLanguageID(CLocalization::kRussian);
  loc.UpdateLabels(form);
  EXPECT_EQ(marked.caption(), u"Пуск!");
  EXPECT_EQ(tagged.caption(), u"XML файл:");
}

}  // namespace
