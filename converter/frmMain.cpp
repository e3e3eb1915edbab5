#include "converter/frmMain.h"

#include "converter/CLocalization.h"
#include "converter/ProgramInfo.h"
#include "converter/ProgramResources.h"
#include "converter/modMain.h"
#include "ui/AppServices.h"
#include "ui/BusyWork.h"
#include "ui/FileDialog.h"
#include "support/FileNameFunctions.h"
#include "support/SettingsStore.h"
#include "ui/KeyCodes.h"
#include "ui/MessageBox.h"
#include "ui/WindowFunctions.h"

namespace quillmark {
namespace {

using tov::ui::ControlKind;
using tov::ui::ControlSpec;
using tov::ui::Rect;

constexpr char16_t kOfnSection[] = u"OFN Paths";

tov::ui::Control& declare(tov::ui::Form& form, ControlKind kind, const char* name, std::u16string caption, Rect at,
                          int index = -1, tov::ui::Control* container = nullptr) {
  return form.add(ControlSpec{kind, name, index, std::move(caption), at, container});
}

// A stored list index as the window takes it: a 16-bit number, or nothing.
std::optional<int> storedIndex(const tov::SettingValue& value) {
  if (!std::holds_alternative<std::int32_t>(value)) return std::nullopt;
  const std::int32_t n = std::get<std::int32_t>(value);
  if (n < -32768 || n > 32767) return std::nullopt;
  return n;
}

void selectStored(tov::ui::Control& list, const tov::SettingValue& value) {
  const auto index = storedIndex(value);
  if (!index || *index < -1 || *index >= list.listCount()) return;  // an invalid index fails to select
  list.setListIndex(*index);
}

void caretToEnd(tov::ui::Control& field) { field.setSelStart(static_cast<int>(field.text().size())); }

}  // namespace

const char16_t frmMain::kDedication[] = u"For everyone who keeps their conversations.";

frmMain::Layout frmMain::declareControls(tov::ui::Form& form) {
  Layout l{};
  declare(form, ControlKind::Label, "lblTag", u"#frmMain_XMLFile_Label", {180, 180, 1980, 210}, 0);
  l.txtInFileName = &declare(form, ControlKind::TextBox, "txtInFileName", u"", {1320, 120, 4095, 330});
  l.cmdBrowseInFile = &declare(form, ControlKind::CommandButton, "cmdBrowseInFile", u"...", {5460, 120, 375, 330});
  declare(form, ControlKind::Label, "lblTag", u"#frmMain_TXTFile_Label", {180, 600, 1995, 210}, 1);
  l.txtOutFileName = &declare(form, ControlKind::TextBox, "txtOutFileName", u"", {1320, 540, 4095, 330});
  l.cmdBrowseOutFile = &declare(form, ControlKind::CommandButton, "cmdBrowseOutFile", u"...", {5460, 540, 375, 330});
  l.fraOptions = &declare(form, ControlKind::Frame, "fraOptions", u"#frmMain_Settings_Frame", {120, 1020, 5715, 1335});
  declare(form, ControlKind::Label, "lblTag", u"#frmMain_Encoding_Label", {240, 420, 2145, 210}, 5, l.fraOptions);
  l.cboOutputEncoding =
      &declare(form, ControlKind::ComboBox, "cboOutputEncoding", u"", {1500, 360, 3975, 330}, -1, l.fraOptions);
  declare(form, ControlKind::Label, "lblTag", u"#frmMain_ParagraphType_Label", {240, 840, 2625, 210}, 7, l.fraOptions);
  l.cboParagraphType =
      &declare(form, ControlKind::ComboBox, "cboParagraphType", u"", {1500, 780, 3975, 330}, -1, l.fraOptions);
  l.cmdStart = &declare(form, ControlKind::CommandButton, "cmdStart", u"#frmMain_Start_Button", {3300, 2520, 1215, 495});
  l.cmdCancel = &declare(form, ControlKind::CommandButton, "cmdCancel", u"#frmMain_Exit_Button", {4620, 2520, 1215, 495});
  l.cmdLanguage = &declare(form, ControlKind::CommandButton, "cmdLanguage", u"Language", {120, 2520, 1155, 495});
  return l;
}

frmMain::frmMain(Services services)
    : Form("frmMain"),
      layout_(declareControls(*this)),
      txtInFileName(*layout_.txtInFileName),
      txtOutFileName(*layout_.txtOutFileName),
      cmdBrowseInFile(*layout_.cmdBrowseInFile),
      cmdBrowseOutFile(*layout_.cmdBrowseOutFile),
      fraOptions(*layout_.fraOptions),
      cboOutputEncoding(*layout_.cboOutputEncoding),
      cboParagraphType(*layout_.cboParagraphType),
      cmdStart(*layout_.cmdStart),
      cmdCancel(*layout_.cmdCancel),
      cmdLanguage(*layout_.cmdLanguage),
      services_(std::move(services)) {
  setCaption(u"Quillmark");
  setFixedBorder(true);
  setFont(u"Tahoma", 9);
  setClientSize({5955, 3135});
  cmdStart.setEnabled(false);
  setDefaultButton(&cmdStart);
  setCancelButton(&cmdCancel);

  on("Form_Load", [this] { Form_Load(); });
  on("Form_Unload", [this] { Form_Unload(); });
  on("Form_KeyDown", [this](tov::ui::EventArgs& args) { Form_KeyDown(args); });
  on("cmdBrowseInFile_Click", [this] { cmdBrowseInFile_Click(); });
  on("cmdBrowseOutFile_Click", [this] { cmdBrowseOutFile_Click(); });
  on("cmdStart_Click", [this] { cmdStart_Click(); });
  on("cmdCancel_Click", [this] { unload(); });
  on("cmdLanguage_Click", [this] { cmdLanguage_Click(); });
  on("txtInFileName_Change", [this] { UpdateStartButton(); });
  on("txtOutFileName_Change", [this] { UpdateStartButton(); });
  on("txtInFileName_GotFocus", [this] { highlightFocusedText(); });
  on("txtOutFileName_GotFocus", [this] { highlightFocusedText(); });
}

frmMain::~frmMain() = default;

void frmMain::Form_Load() {
  tov::ui::asCenterFormEx(*this);
  tov::ui::asSetWindowResIconAll(*this, kMainIconGroup);
  inFileHelper_ = std::make_unique<tov::FileFieldHelper>();
  outFileHelper_ = std::make_unique<tov::FileFieldHelper>();
  inFileHelper_->Attach(cmdStart, cmdBrowseInFile, txtInFileName);
  outFileHelper_->Attach(cmdStart, cmdBrowseOutFile, txtOutFileName);
  for (const char16_t* item : {u"ANSI", u"OEM", u"UTF-8", u"UNICODE"}) cboOutputEncoding.addItem(item);
  cboOutputEncoding.setListIndex(0);
  for (const char16_t* item : {u"CR + LF", u"CR", u"LF"}) cboParagraphType.addItem(item);
  cboParagraphType.setListIndex(0);
  services_.localization.UpdateLabels(*this);
  LoadWindowSettings();
}

void frmMain::Form_Unload() {
  SaveWindowSettings();
  inFileHelper_.reset();
  outFileHelper_.reset();
}

// Settings that cannot be read leave the lists as they are; the window
// always opens.
void frmMain::LoadWindowSettings() {
  const tov::AppInfo& app = programInfo();
  try {
    selectStored(cboOutputEncoding, tov::SettingsStore().GetValue(u"", u"Output Encoding", 1, app, std::int32_t{2}));
  } catch (const std::exception&) {
  }
  try {
    selectStored(cboParagraphType, tov::SettingsStore().GetValue(u"", u"Paragraph Type", 1, app, std::int32_t{0}));
  } catch (const std::exception&) {
  }
  if (cboOutputEncoding.listIndex() == -1) cboOutputEncoding.setListIndex(2);
  if (cboParagraphType.listIndex() == -1) cboParagraphType.setListIndex(0);
}

void frmMain::SaveWindowSettings() {
  const tov::AppInfo& app = programInfo();
  try {
    tov::SettingsStore().SetValue(u"", u"Output Encoding", 1, std::int32_t{cboOutputEncoding.listIndex()}, app);
    tov::SettingsStore().SetValue(u"", u"Paragraph Type", 1, std::int32_t{cboParagraphType.listIndex()}, app);
  } catch (const std::exception&) {
  }
}

void frmMain::UpdateStartButton() {
  cmdStart.setEnabled(!txtInFileName.text().empty() && !txtOutFileName.text().empty());
}

void frmMain::highlightFocusedText() {
  if (tov::ui::Control* focused = activeControl()) tov::ui::asHighlightText(*focused);
}

// The file dialog for one field, starting in the directory remembered under
// `key`; false when the user cancelled.
bool frmMain::askFileName(const tov::ui::Control& field, std::u16string filter, const char16_t* key, bool save,
                          std::u16string& chosen) {
  tov::FileDialog dialog;
  dialog.FileName = field.text();
  dialog.Filter = std::move(filter);
  dialog.OwnerWindow = handle();
  const tov::SettingValue dir = tov::SettingsStore().GetValue(kOfnSection, key, 0, programInfo(), std::u16string());
  if (std::holds_alternative<std::u16string>(dir)) dialog.InitialDirectory = std::get<std::u16string>(dir);
  if (!(save ? dialog.AskSaveFile() : dialog.AskOpenFile())) return false;
  chosen = dialog.FileName;
  return true;
}

void frmMain::rememberDirectory(const char16_t* key, const std::u16string& chosen) {
  tov::SettingsStore().SetValue(kOfnSection, key, 0, tov::asGetFilePath(chosen), programInfo());
}

void frmMain::cmdBrowseInFile_Click() {
  std::u16string chosen;
  if (!askFileName(txtInFileName, services_.localization.StrBrowseInFileFilter(), u"XML File", false, chosen)) return;
  txtInFileName.setText(chosen);
  txtOutFileName.setText(MakeOutputFileName(chosen));
  caretToEnd(txtInFileName);
  caretToEnd(txtOutFileName);
  rememberDirectory(u"XML File", chosen);
}

void frmMain::cmdBrowseOutFile_Click() {
  std::u16string chosen;
  if (!askFileName(txtOutFileName, services_.localization.StrBrowseOutFileFilter(), u"TXT File", true, chosen)) return;
  txtOutFileName.setText(chosen);
  caretToEnd(txtInFileName);
  caretToEnd(txtOutFileName);
  rememberDirectory(u"TXT File", chosen);
}

namespace {

// The conversion's messages go to the user as message boxes.
class MessageBoxReporter : public ConversionReporter {
 public:
  void showError(const std::u16string& text) override { tov::ui::MessageBox(text, tov::ui::kMbIconError); }
  void reportError(const tov::ErrorRecord& error, const std::u16string& text) override {
    tov::AppServices::instance().ReportError(error, tov::ui::kMbIconError, 0, text, false);
  }
};

}  // namespace

bool frmMain::ConvertHistory(const std::u16string& inFileName, const std::u16string& outFileName, int encoding,
                             int paragraphType) {
  MessageBoxReporter reporter;
  // The writer is created only when the text is ready, so a log that does
  // not load never needs the library.
  class LateWriter : public TextFileWriter {
   public:
    explicit LateWriter(std::function<TextFileWriter&()>& get) : get_(get) {}
    void PutFile(std::u16string_view name, std::u16string_view data) override { get_().PutFile(name, data); }
    void PutFileW(std::u16string_view name, std::u16string_view data) override { get_().PutFileW(name, data); }

   private:
    std::function<TextFileWriter&()>& get_;
  } writer(services_.writer);
  // A log of a gigabyte takes many seconds: its long steps run beside the
  // window, which keeps repainting meanwhile.
  HistoryConversion conversion(services_.localization, writer, reporter,
                               [](const std::function<void()>& step) { tov::ui::runBusy(step); });
  return conversion.ConvertHistory(inFileName, outFileName, encoding, paragraphType);
}

void frmMain::cmdStart_Click() {
  // The window shows it is busy: the wait cursor, and Start cannot be
  // pressed again until this conversion is over. Start keeps the focus it
  // had, so Enter afterwards does not press what the focus moved to.
  const bool startHadFocus = activeControl() == &cmdStart;
  {
    const tov::ui::BusyCursor busy;
    cmdStart.setEnabled(false);
    struct StartAgain {
      frmMain& window;
      ~StartAgain() { window.UpdateStartButton(); }
    } startAgain{*this};
    lastConversionSucceeded_ = ConvertHistory(txtInFileName.text(), txtOutFileName.text(),
                                              cboOutputEncoding.listIndex(), cboParagraphType.listIndex());
  }
  if (startHadFocus && cmdStart.enabled() && isVisible()) cmdStart.setFocus();
  if (lastConversionSucceeded_) {
    tov::ui::MessageBox(services_.localization.StrAllDone(), tov::ui::kMbIconInformation);
  }
}

void frmMain::cmdLanguage_Click() {
  if (services_.chooseLanguage) services_.chooseLanguage();
  services_.localization.UpdateLabels(*this);
}

void frmMain::Form_KeyDown(tov::ui::EventArgs& args) {
  using namespace tov::ui;
  if (args.keyCode == kKeyF1 && args.shift == kShiftMask) {
    tov::AppServices::instance().ShowAbout(handle(), programInfo(), u"", nullptr, kDedication);
    args.keyCode = 0;
  }
  if (args.keyCode == kKeyEscape && args.shift == 0) {
    args.keyCode = 0;
    unload();
    return;
  }
  if (args.keyCode == kKeyReturn && args.shift == kCtrlMask) {
    // Taken here, so the default button does not run the conversion twice.
    args.keyCode = 0;
    if (cmdStart.enabled()) cmdStart.setValue(true);
  }
}

}  // namespace quillmark
