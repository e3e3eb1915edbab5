#pragma once
// The dialog that lets the user pick the program's language. It opens by
// itself on the first start (one button only) and from the main window's
// Language button. OK stores the choice; Cancel and the close box change
// nothing.
#include "ui/Form.h"

namespace quillmark {

class CLocalization;

class frmChooseLanguage : public tov::ui::Form {
 public:
  explicit frmChooseLanguage(CLocalization& localization);

  // The first-start form: no Cancel, OK in Cancel's place. Loads the window.
  void prepareFirstStart();

  // Shows a new dialog modally and drops it when it closes: the first-start
  // form or the ordinary one.
  static void chooseOnFirstStart(CLocalization& localization);
  static void choose(CLocalization& localization);

  tov::ui::Control& lblPrompt;
  tov::ui::Control& lstLanguage;
  tov::ui::Control& cmdOk;
  tov::ui::Control& cmdCancel;

 private:
  void Form_Load();
  void cmdOk_Click();
  void lstLanguage_DblClick();

  CLocalization& localization_;
};

}  // namespace quillmark
