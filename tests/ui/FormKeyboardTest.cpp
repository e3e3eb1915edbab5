// Keys and focus: the window's KeyDown first, then the focused control's,
// then Tab, Enter and Escape; focus order and moves.
#include <gtest/gtest.h>

#include "SampleForm.h"
#include "ui/HeadlessBackend.h"
#include "ui/KeyCodes.h"

using namespace tov::ui;
using uitest::SampleForm;
using Log = std::vector<std::string>;

namespace {

class FormKeyboard : public ::testing::Test {
 protected:
  void SetUp() override {
    useHeadlessBackend().setEcho(false);
    form.logEvents(log, {"Form_KeyDown", "txtName_KeyDown", "cmdOk_Click", "cmdCancel_Click"});
    form.show();
    log.clear();
  }
  SampleForm form;
  Log log;
};

TEST_F(FormKeyboard, TheWindowSeesKeysBeforeTheFocusedControl) {
  ASSERT_EQ(form.activeControl(), &form.txtName);
  EXPECT_FALSE(form.pressKey('A', 0));  // nobody takes it: the field would get the letter
  EXPECT_EQ(log, (Log{"Form_KeyDown:65", "txtName_KeyDown:65"}));
}

TEST_F(FormKeyboard, AKeySwallowedByTheWindowGoesNoFurther) {
  form.on("Form_KeyDown", [](EventArgs& args) {
    if (args.keyCode == kKeyReturn) args.keyCode = 0;
  });
  EXPECT_TRUE(form.pressKey(kKeyReturn));
  EXPECT_TRUE(log.empty());
}

TEST_F(FormKeyboard, EnterPressesTheDefaultButtonUnlessItIsDisabled) {
  EXPECT_TRUE(form.pressKey(kKeyReturn));
  form.cmdOk.setEnabled(false);
  EXPECT_FALSE(form.pressKey(kKeyReturn));
  form.cmdOk.setEnabled(true);
  form.cmdOk.setVisible(false);
  EXPECT_FALSE(form.pressKey(kKeyReturn));
  EXPECT_EQ(log, (Log{"Form_KeyDown:13", "txtName_KeyDown:13", "cmdOk_Click", "Form_KeyDown:13",
                      "txtName_KeyDown:13", "Form_KeyDown:13", "txtName_KeyDown:13"}));
}

// The window's own handlers own the modified keys: Ctrl+Enter must not press
// the default button a second time.
TEST_F(FormKeyboard, ModifiedEnterAndEscapeAreLeftToTheHandlers) {
  form.on("Form_KeyDown", std::function<void()>());
  form.on("txtName_KeyDown", std::function<void()>());
  EXPECT_FALSE(form.pressKey(kKeyReturn, kCtrlMask));
  EXPECT_FALSE(form.pressKey(kKeyEscape, kShiftMask));
  EXPECT_TRUE(log.empty());
}

TEST_F(FormKeyboard, EnterOnAFocusedButtonPressesThatButton) {
  ASSERT_TRUE(form.cmdCancel.setFocus());
  form.pressKey(kKeyReturn);
  EXPECT_EQ(log, (Log{"Form_KeyDown:13", "cmdCancel_Click"}));
}

TEST_F(FormKeyboard, EscapePressesTheCancelButtonWithoutMovingTheFocus) {
  EXPECT_TRUE(form.pressKey(kKeyEscape));
  EXPECT_EQ(form.activeControl(), &form.txtName);
  form.cmdCancel.setEnabled(false);
  EXPECT_FALSE(form.pressKey(kKeyEscape));
  EXPECT_EQ(log, (Log{"Form_KeyDown:27", "txtName_KeyDown:27", "cmdCancel_Click", "Form_KeyDown:27",
                      "txtName_KeyDown:27"}));
}

TEST_F(FormKeyboard, AWindowClosedByItsKeyHandlerTakesNoFurtherAction) {
  form.on("Form_KeyDown", [this] { form.unload(); });
  EXPECT_TRUE(form.pressKey(kKeyEscape));
  EXPECT_FALSE(form.isLoaded());
  EXPECT_TRUE(log.empty());
  EXPECT_FALSE(form.pressKey(kKeyEscape));  // a closed window hears nothing
}

TEST_F(FormKeyboard, TabFollowsTheTabOrderAndSkipsWhatCannotTakeTheFocus) {
  std::vector<std::string> visited;
  auto walk = [&](int shift, int steps) {
    visited.clear();
    for (int i = 0; i < steps; ++i) {
      form.pressKey(kKeyTab, shift);
      visited.push_back(form.activeControl()->displayName());
    }
  };
  form.cmdOk.setTabIndex(1);  // between the two text fields
  form.cboKind.setEnabled(false);
  walk(0, 5);
  EXPECT_EQ(visited, (Log{"cmdOk", "txtOther", "lstItems", "cmdCancel", "txtName"}));
  walk(kShiftMask, 2);
  EXPECT_EQ(visited, (Log{"cmdCancel", "lstItems"}));
  form.fraBox.setVisible(false);  // the list inside goes with it, and so does the focus
  EXPECT_EQ(form.activeControl(), &form.cmdCancel);
}

TEST_F(FormKeyboard, FocusEventsComeInPairsAndOnlyOnAShownWindow) {
  Log focus;
  form.logEvents(focus, {"txtName_LostFocus", "txtOther_GotFocus", "txtOther_LostFocus", "txtName_GotFocus"});
  EXPECT_TRUE(form.txtOther.setFocus());
  EXPECT_TRUE(form.txtOther.setFocus());
  EXPECT_FALSE(form.lblName.setFocus());
  form.hide();
  EXPECT_EQ(form.activeControl(), nullptr);
  EXPECT_FALSE(form.txtName.setFocus());
  EXPECT_FALSE(form.pressKey(kKeyTab));
  EXPECT_EQ(focus, (Log{"txtName_LostFocus", "txtOther_GotFocus"}));
}

}  // namespace
