// The language dialog: what it preselects, what OK, Cancel, Escape, the
// close box and a double-click do, and its first-start form.
#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

#include "ScopedEnv.h"
#include "TempDir.h"
#include "converter/CLocalization.h"
#include "converter/ProgramInfo.h"
#include "converter/frmChooseLanguage.h"
#include "support/SettingsStore.h"
#include "ui/HeadlessBackend.h"
#include "ui/KeyCodes.h"

using namespace quillmark;
using tov::ui::Control;
using tov::ui::Form;

namespace {

class ChooseLanguage : public ::testing::Test {
 protected:
  void SetUp() override {
    backend = &tov::ui::useHeadlessBackend();
    backend->setEcho(false);
  }
  void TearDown() override {
    unsetenv("TOVAPPS_ACP");
  }

  // The stored language, -1 when none is stored.
  std::int32_t stored() const {
    const tov::SettingValue v =
        tov::SettingsStore().GetValue(u"Localization", u"LanguageID", 1, programInfo(), std::int32_t{-1});
    return std::holds_alternative<std::int32_t>(v) ? std::get<std::int32_t>(v) : -2;
  }

  // Shows the dialog modally with the user's part played by script.
  void showWith(frmChooseLanguage& dialog, std::function<void(frmChooseLanguage&)> user) {
    backend->queueScript([&dialog, user](Form&) { user(dialog); });
    dialog.showModal();
  }

  tovtest::TempDir config{"config"};
  tovtest::ScopedEnv configHome{"XDG_CONFIG_HOME", config.path().c_str()};
  tov::ui::HeadlessBackend* backend = nullptr;
  CLocalization localization{programInfo()};
};

TEST_F(ChooseLanguage, ShowsItsTextsAndPreselectsTheCurrentLanguage) {
  for (std::int32_t id : {0, 1}) {
    localization.setLanguageID(id);
    frmChooseLanguage dialog(localization);
    dialog.load();
    EXPECT_EQ(dialog.caption(), u"Program language");
    EXPECT_EQ(dialog.lblPrompt.caption(), u"Please select the language of the program:");
    EXPECT_EQ(dialog.cmdOk.caption(), u"Ok");
    EXPECT_EQ(dialog.cmdCancel.caption(), u"Cancel");
    ASSERT_EQ(dialog.lstLanguage.listCount(), 2);
    EXPECT_EQ(dialog.lstLanguage.item(0), u"Русский");
    EXPECT_EQ(dialog.lstLanguage.item(1), u"English");
    EXPECT_EQ(dialog.lstLanguage.listIndex(), id);
    EXPECT_TRUE(dialog.fixedBorder());
    EXPECT_TRUE(dialog.icon().empty());
    // Centred on the headless 1024 x 768 screen.
    EXPECT_EQ(dialog.left(), (15360 - dialog.clientSize().width) / 2);
  }
}

TEST_F(ChooseLanguage, AnUnknownLanguageLeavesTheFirstItemSelected) {
  localization.setLanguageID(7);
  frmChooseLanguage dialog(localization);
  dialog.load();
  EXPECT_EQ(dialog.lstLanguage.listIndex(), 0);
  EXPECT_EQ(dialog.lstLanguage.listCount(), 2);
}

TEST_F(ChooseLanguage, OkStoresTheSelectedLanguage) {
  localization.setLanguageID(0);
  frmChooseLanguage dialog(localization);
  showWith(dialog, [](frmChooseLanguage& d) {
    d.lstLanguage.pickItem(1);
    d.cmdOk.click();
  });
  EXPECT_FALSE(dialog.isLoaded());
  EXPECT_EQ(localization.LanguageID(), 1);
  EXPECT_EQ(stored(), 1);
}

TEST_F(ChooseLanguage, CancelEscapeAndTheCloseBoxChangeNothing) {
  const std::vector<std::function<void(frmChooseLanguage&)>> ways = {
      [](frmChooseLanguage& d) { d.cmdCancel.click(); },
      [](frmChooseLanguage& d) { d.pressKey(tov::ui::kKeyEscape); },
      [](frmChooseLanguage& d) { d.pressCloseBox(); },
  };
  localization.setLanguageID(0);
  for (const auto& close : ways) {
    frmChooseLanguage dialog(localization);
    showWith(dialog, [&close](frmChooseLanguage& d) {
      d.lstLanguage.pickItem(1);
      close(d);
    });
    EXPECT_FALSE(dialog.isLoaded());
    EXPECT_EQ(localization.LanguageID(), 0);
    EXPECT_EQ(stored(), -1);
  }
}

TEST_F(ChooseLanguage, DoubleClickAndEnterPressOk) {
  localization.setLanguageID(1);
  frmChooseLanguage dialog(localization);
  showWith(dialog, [](frmChooseLanguage& d) {
    d.lstLanguage.pickItem(0);
    d.lstLanguage.doubleClick();
  });
  EXPECT_EQ(localization.LanguageID(), 0);
  EXPECT_EQ(stored(), 0);

  frmChooseLanguage again(localization);
  showWith(again, [](frmChooseLanguage& d) {
    d.lstLanguage.pickItem(1);
    d.pressKey(tov::ui::kKeyReturn);
  });
  EXPECT_EQ(localization.LanguageID(), 1);
  EXPECT_EQ(stored(), 1);
}

TEST_F(ChooseLanguage, DoubleClickDoesNothingWhileOkIsDisabled) {
  localization.setLanguageID(1);
  frmChooseLanguage dialog(localization);
  showWith(dialog, [](frmChooseLanguage& d) {
    d.cmdOk.setEnabled(false);
    d.lstLanguage.pickItem(0);
    d.lstLanguage.doubleClick();
    EXPECT_TRUE(d.isVisible());
  });
  EXPECT_EQ(localization.LanguageID(), 1);
  EXPECT_EQ(stored(), -1);
}

// Storing -1 would ask again on the next start and leave every text empty
// until then.
TEST_F(ChooseLanguage, OkWithoutASelectionKeepsTheLanguage) {
  localization.setLanguageID(1);
  frmChooseLanguage dialog(localization);
  showWith(dialog, [](frmChooseLanguage& d) {
    d.lstLanguage.setListIndex(-1);
    d.cmdOk.click();
  });
  EXPECT_FALSE(dialog.isLoaded());
  EXPECT_EQ(localization.LanguageID(), 1);
  EXPECT_EQ(stored(), -1);
}

TEST_F(ChooseLanguage, TheFirstStartFormHasOnlyOkInCancelsPlace) {
  localization.setLanguageID(1);
  frmChooseLanguage dialog(localization);
  const tov::ui::Rect ok = dialog.cmdOk.position();
  dialog.prepareFirstStart();
  EXPECT_FALSE(dialog.cmdCancel.visible());
  EXPECT_EQ(dialog.cmdOk.position().left, dialog.cmdCancel.position().left);
  EXPECT_EQ(dialog.cmdOk.position().top, ok.top);
  EXPECT_EQ(dialog.cmdOk.position().width, ok.width);
  showWith(dialog, [](frmChooseLanguage& d) {
    d.lstLanguage.pickItem(0);
    EXPECT_FALSE(d.pressKey(tov::ui::kKeyEscape));  // no Cancel to press
    EXPECT_TRUE(d.isVisible());
  });
  EXPECT_EQ(localization.LanguageID(), 1);
}

TEST_F(ChooseLanguage, TheControlsFitInsideTheWindow) {
  frmChooseLanguage dialog(localization);
  const tov::ui::Size size = dialog.clientSize();
  for (const Control* c : dialog.controls()) {
    const tov::ui::Rect& r = c->position();
    EXPECT_GE(r.left, 0) << c->displayName();
    EXPECT_GE(r.top, 0) << c->displayName();
    EXPECT_LE(r.left + r.width, size.width) << c->displayName();
    EXPECT_LE(r.top + r.height, size.height) << c->displayName();
  }
  const tov::ui::Rect& ok = dialog.cmdOk.position();
  EXPECT_LE(ok.left + ok.width, dialog.cmdCancel.position().left);
  EXPECT_LE(dialog.lstLanguage.position().top + dialog.lstLanguage.position().height, ok.top);
}

TEST_F(ChooseLanguage, FirstStartAsksThroughTheDialogAndAlwaysStores) {
  setenv("TOVAPPS_ACP", "1251", 1);
  localization.setLanguageChooser(&frmChooseLanguage::chooseOnFirstStart);
  bool singleButton = false;
  int preselected = -2;
  backend->queueScript([&](Form& shown) {
    auto& d = static_cast<frmChooseLanguage&>(shown);
    singleButton = !d.cmdCancel.visible();
    preselected = d.lstLanguage.listIndex();
    d.pressCloseBox();
  });
  localization.LoadSettings();
  EXPECT_TRUE(singleButton);
  EXPECT_EQ(preselected, 0);
  EXPECT_EQ(stored(), 0);

  CLocalization next(programInfo());
  next.setLanguageChooser([](CLocalization&) { FAIL() << "asked although a language is stored"; });
  next.LoadSettings();
  EXPECT_EQ(next.LanguageID(), 0);
}

TEST_F(ChooseLanguage, FirstStartStoresTheLanguagePicked) {
  setenv("TOVAPPS_ACP", "1252", 1);
  localization.setLanguageChooser(&frmChooseLanguage::chooseOnFirstStart);
  backend->queueScript([](Form& shown) {
    auto& d = static_cast<frmChooseLanguage&>(shown);
    EXPECT_EQ(d.lstLanguage.listIndex(), 1);
    d.lstLanguage.pickItem(0);
    d.cmdOk.click();
  });
  localization.LoadSettings();
  EXPECT_EQ(localization.LanguageID(), 0);
  EXPECT_EQ(stored(), 0);
}

}  // namespace
