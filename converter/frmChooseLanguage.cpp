#include "converter/frmChooseLanguage.h"

#include <exception>

#include "converter/CLocalization.h"
#include "ui/WindowFunctions.h"

namespace quillmark {
namespace {

using tov::ui::ControlKind;
using tov::ui::ControlSpec;

// Items in language id order: the index of an item is its language's id.
constexpr const char16_t* kLanguages[] = {u"Русский", u"English"};

}  // namespace

frmChooseLanguage::frmChooseLanguage(CLocalization& localization)
    : Form("frmChooseLanguage"),
      lblPrompt(add(ControlSpec{ControlKind::Label, "lblPrompt", -1, u"Please select the language of the program:",
                                {120, 120, 4560, 225}})),
      lstLanguage(add(ControlSpec{ControlKind::ListBox, "lstLanguage", -1, u"", {120, 405, 4560, 690}})),
      cmdOk(add(ControlSpec{ControlKind::CommandButton, "cmdOk", -1, u"Ok", {2160, 1245, 1215, 375}})),
      cmdCancel(add(ControlSpec{ControlKind::CommandButton, "cmdCancel", -1, u"Cancel", {3465, 1245, 1215, 375}})),
      localization_(localization) {
  setCaption(u"Program language");
  setFixedBorder(true);
  setFont(u"Tahoma", 9);
  setClientSize({4800, 1740});
  setDefaultButton(&cmdOk);
  setCancelButton(&cmdCancel);

  on("Form_Load", [this] { Form_Load(); });
  on("cmdOk_Click", [this] { cmdOk_Click(); });
  on("cmdCancel_Click", [this] { unload(); });
  on("lstLanguage_DblClick", [this] { lstLanguage_DblClick(); });
}

void frmChooseLanguage::Form_Load() {
  tov::ui::asCenterFormEx(handle());
  setIcon(u"");
  // Filling the list must not keep the dialog from opening: whatever fails
  // here leaves the list as far as it got.
  try {
    for (const char16_t* language : kLanguages) lstLanguage.addItem(language);
    lstLanguage.setListIndex(0);
    lstLanguage.setListIndex(localization_.LanguageID());
  } catch (const std::exception&) {
  }
}

void frmChooseLanguage::cmdOk_Click() {
  const int chosen = lstLanguage.listIndex();
  // No selection is no choice: a language id of -1 would ask again on the
  // next start and show no texts until then.
  if (chosen >= 0) {
    localization_.setLanguageID(chosen);
    localization_.SaveSettings();
  }
  unload();
}

void frmChooseLanguage::lstLanguage_DblClick() {
  if (cmdOk.enabled()) cmdOk.setValue(true);
}

void frmChooseLanguage::prepareFirstStart() {
  load();
  cmdCancel.setVisible(false);
  cmdOk.setLeft(cmdCancel.position().left);
}

void frmChooseLanguage::chooseOnFirstStart(CLocalization& localization) {
  frmChooseLanguage dialog(localization);
  dialog.prepareFirstStart();
  dialog.showModal();
  dialog.unload();
}

void frmChooseLanguage::choose(CLocalization& localization) {
  frmChooseLanguage dialog(localization);
  dialog.showModal();
  dialog.unload();
}

}  // namespace quillmark
