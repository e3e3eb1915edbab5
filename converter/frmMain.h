#pragma once
// The main window: the two file names with their browse buttons, the output
// encoding and paragraph type, and Start, Exit and Language. Also the
// vehicle of the unattended conversion: loaded hidden, filled, Start pressed.
#include <functional>
#include <memory>
#include <string>

#include "converter/HistoryConversion.h"
#include "ui/FileFieldHelper.h"
#include "ui/Form.h"

namespace quillmark {

class CLocalization;

class frmMain : public tov::ui::Form {
 public:
  // What the window needs from the program around it.
  struct Services {
    CLocalization& localization;
    // The library's writer, created once per run on first use.
    std::function<TextFileWriter&()> writer;
    // Shows the language dialog modally.
    std::function<void()> chooseLanguage;
  };

  explicit frmMain(Services services);
  ~frmMain() override;

 private:
  // Every control, declared in the window's focus order.
  struct Layout {
    tov::ui::Control *txtInFileName, *txtOutFileName, *cmdBrowseInFile, *cmdBrowseOutFile, *fraOptions,
        *cboOutputEncoding, *cboParagraphType, *cmdStart, *cmdCancel, *cmdLanguage;
  };
  static Layout declareControls(tov::ui::Form& form);
  Layout layout_;

 public:
  tov::ui::Control& txtInFileName;
  tov::ui::Control& txtOutFileName;
  tov::ui::Control& cmdBrowseInFile;
  tov::ui::Control& cmdBrowseOutFile;
  tov::ui::Control& fraOptions;
  tov::ui::Control& cboOutputEncoding;
  tov::ui::Control& cboParagraphType;
  tov::ui::Control& cmdStart;
  tov::ui::Control& cmdCancel;
  tov::ui::Control& cmdLanguage;

  // Whether the last press of Start wrote the text file; the command line
  // turns it into the exit status.
  bool lastConversionSucceeded() const { return lastConversionSucceeded_; }

  // The dedication shown in the about box.
  static const char16_t kDedication[];

 private:
  void Form_Load();
  void Form_Unload();
  void Form_KeyDown(tov::ui::EventArgs& args);
  void cmdBrowseInFile_Click();
  void cmdBrowseOutFile_Click();
  bool askFileName(const tov::ui::Control& field, std::u16string filter, const char16_t* key, bool save,
                   std::u16string& chosen);
  void rememberDirectory(const char16_t* key, const std::u16string& chosen);
  void cmdStart_Click();
  void cmdLanguage_Click();
  void LoadWindowSettings();
  void SaveWindowSettings();
  void UpdateStartButton();
  void highlightFocusedText();
  bool ConvertHistory(const std::u16string& inFileName, const std::u16string& outFileName, int encoding,
                      int paragraphType);

  Services services_;
  bool lastConversionSucceeded_ = false;
  std::unique_ptr<tov::FileFieldHelper> inFileHelper_;
  std::unique_ptr<tov::FileFieldHelper> outFileHelper_;
};

}  // namespace quillmark
