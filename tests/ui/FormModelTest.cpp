// The forms model: declaring controls, properties and the events they raise,
// and the window's life cycle.
#include <gtest/gtest.h>

#include "SampleForm.h"
#include "ui/HeadlessBackend.h"
#include "ui/PropertyNotSupported.h"

using namespace tov::ui;
using uitest::SampleForm;
using Log = std::vector<std::string>;

namespace {

class FormModel : public ::testing::Test {
 protected:
  void SetUp() override { useHeadlessBackend().setEcho(false); }
};

TEST_F(FormModel, ControlsKeepDeclarationOrderAndArrayIndexes) {
  SampleForm form;
  std::vector<std::string> names;
  for (const Control* c : form.controls()) names.push_back(c->displayName());
  EXPECT_EQ(names, (std::vector<std::string>{"lblTag(0)", "txtName", "lblTag(5)", "txtOther", "fraBox", "lstItems",
                                             "cboKind", "cmdOk", "cmdCancel"}));
  EXPECT_EQ(&form.control("lblTag", 5), &form.lblOther);
  EXPECT_EQ(form.findControl("lblTag"), nullptr);
  EXPECT_THROW(form.control("lblTag", 3), std::out_of_range);
  EXPECT_THROW(form.add({ControlKind::Label, "lblTag", 5, u"", {}}), std::invalid_argument);
  EXPECT_THROW(form.add({ControlKind::Label, "lblTag", -1, u"", {}}), std::invalid_argument);
  EXPECT_THROW(form.add({ControlKind::Label, "lblIn", -1, u"", {}, &form.cmdOk}), std::invalid_argument);
  EXPECT_NE(form.txtName.handle(), form.txtOther.handle());
}

// A walk over every control reads Caption and Tag; the kinds without a
// caption must say so, and captions and tags must write back.
TEST_F(FormModel, CaptionsExistOnlyWhereTheKindHasThem) {
  SampleForm form;
  for (Control* c : form.controls()) {
    const bool captioned = c->kind() == ControlKind::Label || c->kind() == ControlKind::CommandButton ||
                           c->kind() == ControlKind::Frame;
    EXPECT_EQ(c->hasCaption(), captioned) << c->displayName();
    if (!captioned) {
      EXPECT_THROW(c->caption(), PropertyNotSupported) << c->displayName();
    }
  }
  EXPECT_THROW(form.txtName.setCaption(u"x"), PropertyNotSupported);
  EXPECT_THROW(form.cmdOk.setText(u"x"), PropertyNotSupported);
  EXPECT_THROW(form.lstItems.setText(u"x"), PropertyNotSupported);
  EXPECT_THROW(form.txtName.addItem(u"x"), PropertyNotSupported);
  EXPECT_THROW(form.lstItems.setValue(true), PropertyNotSupported);
  form.lblName.setTag(u"#Name");
  form.lblName.setCaption(u"Name:");
  EXPECT_EQ(form.lblName.caption(), u"Name:");
  EXPECT_EQ(form.lblName.tag(), u"#Name");
}

TEST_F(FormModel, TextSetByProgramRaisesChangeOnlyWhenItChanges) {
  SampleForm form;
  Log log;
  form.logEvents(log, {"txtName_Change", "txtOther_Change"});
  form.txtName.setText(u"chat.xml");
  form.txtName.setText(u"chat.xml");
  form.txtName.setText(u"");
  EXPECT_EQ(log, (Log{"txtName_Change", "txtName_Change"}));
  EXPECT_EQ(form.txtName.text(), u"");
}

TEST_F(FormModel, TypingReplacesTheSelectionAndRaisesChange) {
  SampleForm form;
  form.show();
  form.txtName.setText(u"chat.xml");
  Log log;
  form.logEvents(log, {"txtName_Change"});
  form.txtName.setSelection(5, 3);
  ASSERT_TRUE(form.txtName.typeText(u"txt"));
  EXPECT_EQ(form.txtName.text(), u"chat.txt");
  EXPECT_EQ(form.txtName.selStart(), 8);
  EXPECT_EQ(form.txtName.selLength(), 0);
  form.txtName.setSelection(0, 100);  // clamped to the text
  EXPECT_EQ(form.txtName.selLength(), 8);
  form.txtName.typeText(u"");
  EXPECT_EQ(form.txtName.text(), u"");
  EXPECT_EQ(log, (Log{"txtName_Change", "txtName_Change"}));
  EXPECT_THROW(form.txtName.setSelStart(-1), std::out_of_range);
}

TEST_F(FormModel, ListIndexRaisesClickAndRejectsIndexesOutsideTheList) {
  SampleForm form;
  Log log;
  form.logEvents(log, {"lstItems_Click"});
  form.lstItems.addItem(u"one");
  form.lstItems.addItem(u"two");
  EXPECT_EQ(form.lstItems.listIndex(), -1);
  EXPECT_EQ(form.lstItems.text(), u"");
  form.lstItems.setListIndex(1);
  form.lstItems.setListIndex(1);
  EXPECT_EQ(form.lstItems.text(), u"two");
  EXPECT_THROW(form.lstItems.setListIndex(2), std::out_of_range);
  EXPECT_THROW(form.lstItems.setListIndex(-2), std::out_of_range);
  EXPECT_EQ(form.lstItems.listIndex(), 1);
  form.lstItems.removeItem(0);
  EXPECT_EQ(form.lstItems.listIndex(), 0);
  EXPECT_EQ(form.lstItems.text(), u"two");
  form.lstItems.clear();
  EXPECT_EQ(form.lstItems.listIndex(), -1);
  EXPECT_EQ(log, (Log{"lstItems_Click"}));
}

TEST_F(FormModel, ValueTruePressesTheButtonEvenDisabledOrHidden) {
  SampleForm form;
  Log log;
  form.logEvents(log, {"cmdOk_Click"});
  form.load();
  form.cmdOk.setEnabled(false);
  form.cmdOk.setValue(true);
  form.cmdOk.setValue(false);
  EXPECT_EQ(log, (Log{"cmdOk_Click"}));
}

TEST_F(FormModel, UserActionsNeedAShownWindowAndAnEnabledVisibleControl) {
  SampleForm form;
  Log log;
  form.logEvents(log, {"cmdOk_Click", "lstItems_Click", "txtName_Change"});
  form.lstItems.addItem(u"one");
  EXPECT_FALSE(form.cmdOk.click());  // not shown yet
  form.show();
  form.cmdOk.setEnabled(false);
  EXPECT_FALSE(form.cmdOk.click());
  form.fraBox.setEnabled(false);
  EXPECT_FALSE(form.lstItems.isEffectivelyEnabled());
  EXPECT_FALSE(form.lstItems.pickItem(0));
  form.fraBox.setEnabled(true);
  form.txtName.setVisible(false);
  EXPECT_FALSE(form.txtName.typeText(u"x"));
  EXPECT_TRUE(log.empty());
  form.cmdOk.setEnabled(true);
  EXPECT_TRUE(form.cmdOk.click());
  EXPECT_TRUE(form.lstItems.pickItem(0));
  EXPECT_EQ(log, (Log{"cmdOk_Click", "lstItems_Click"}));
}

TEST_F(FormModel, ClickMovesTheFocusBeforeTheClickEvent) {
  SampleForm form;
  Log log;
  form.logEvents(log, {"Form_Load", "txtName_GotFocus", "txtName_LostFocus", "cmdOk_GotFocus", "cmdOk_Click",
                       "lblTag_Click"});
  form.show();
  form.cmdOk.click();
  form.lblName.click();  // labels take no focus
  EXPECT_EQ(log, (Log{"Form_Load", "txtName_GotFocus", "txtName_LostFocus", "cmdOk_GotFocus", "cmdOk_Click",
                      "lblTag_Click(0)"}));
  EXPECT_EQ(form.activeControl(), &form.cmdOk);
}

TEST_F(FormModel, LoadRunsOnceAndUnloadRestoresTheDeclaredState) {
  SampleForm form;
  Log log;
  form.logEvents(log, {"Form_Load", "Form_Unload"});
  form.on("Form_Load", [&] {
    log.push_back("Form_Load");
    form.cboKind.addItem(u"a");
    form.cboKind.addItem(u"b");
    form.cboKind.setListIndex(0);
  });
  form.load();
  form.show();
  form.txtName.setText(u"typed");
  form.cmdCancel.setVisible(false);
  form.lblName.setCaption(u"Name:");
  form.unload();
  EXPECT_FALSE(form.isLoaded());
  EXPECT_FALSE(form.isVisible());
  EXPECT_EQ(form.txtName.text(), u"");
  EXPECT_TRUE(form.cmdCancel.visible());
  EXPECT_EQ(form.lblName.caption(), u"#Name");
  EXPECT_EQ(form.cboKind.listCount(), 0);
  form.show();  // loads again: the list is filled once, not twice
  EXPECT_EQ(form.cboKind.listCount(), 2);
  EXPECT_EQ(log, (Log{"Form_Load", "Form_Unload", "Form_Load"}));
}

TEST_F(FormModel, UnloadFromItsOwnUnloadHandlerRunsOnce) {
  SampleForm form;
  int unloads = 0;
  form.on("Form_Unload", [&] {
    ++unloads;
    form.unload();
  });
  form.show();
  form.pressCloseBox();
  form.pressCloseBox();
  EXPECT_EQ(unloads, 1);
  EXPECT_FALSE(form.isLoaded());
}

TEST_F(FormModel, HandlersCanBeReplacedAndRemoved) {
  SampleForm form;
  Log log;
  form.on("cmdOk_Click", [&] { log.push_back("first"); });
  form.on("cmdOk_Click", [&] { log.push_back("second"); });
  form.cmdOk.setValue(true);
  form.on("cmdOk_Click", std::function<void()>());
  form.cmdOk.setValue(true);
  EXPECT_EQ(log, (Log{"second"}));
}

}  // namespace
