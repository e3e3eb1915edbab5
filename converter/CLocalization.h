#pragma once
// The converter's interface language: the current language, its storage in
// the settings, every translated text, and relabelling of marked controls.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "support/AppInfo.h"

namespace tov::ui {
class Form;
}

namespace quillmark {

class CLocalization {
 public:
  static constexpr std::int32_t kRussian = 0;
  static constexpr std::int32_t kEnglish = 1;
  static constexpr std::int32_t kNotChosen = -1;

  // Asks the user for the language on the first start; the default language
  // is already set when it runs. Without one, the preselected choice stands.
  using LanguageChooser = std::function<void(CLocalization&)>;

  explicit CLocalization(tov::AppInfo app);

  void LoadSettings();
  void SaveSettings();
  std::int32_t LanguageID() const { return languageId_; }
  void setLanguageID(std::int32_t id) { languageId_ = id; }
  void UpdateLabels(tov::ui::Form& form) const;
  void setLanguageChooser(LanguageChooser chooser) { chooser_ = std::move(chooser); }

  // Russian where the ANSI code page is Cyrillic, English otherwise.
  static std::int32_t defaultLanguage();

  std::u16string StrUsage() const;
  std::u16string StrBrowseInFileFilter() const;
  std::u16string StrBrowseOutFileFilter() const;
  std::u16string StrAllDone() const;
  std::u16string StrCantConvertReceivedData() const;
  std::u16string StrCantCreateTextFile() const;
  std::u16string StrOutputIsInput() const;
  std::u16string Str_frmMain_XMLFile_Label() const;
  std::u16string Str_frmMain_TXTFile_Label() const;
  std::u16string Str_frmMain_Settings_Frame() const;
  std::u16string Str_frmMain_Encoding_Label() const;
  std::u16string Str_frmMain_ParagraphType_Label() const;
  std::u16string Str_frmMain_Start_Button() const;
  std::u16string Str_frmMain_Exit_Button() const;

  // The text property of that name, or nothing when there is no such
  // property; the relabelling builds names at run time.
  std::optional<std::u16string> textByName(std::u16string_view propertyName) const;

  const tov::AppInfo& app() const { return app_; }

 private:
  std::u16string pick(std::u16string_view english, std::u16string_view russian) const;

  tov::AppInfo app_;
  std::int32_t languageId_ = kNotChosen;
  LanguageChooser chooser_;
};

}  // namespace quillmark
