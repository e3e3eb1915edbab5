// The file-name field helper: files dropped on the field or its browse
// button fill the field, completion is on while attached, and nothing is
// left behind when it lets go.
#include <gtest/gtest.h>

#include <memory>

#include "ui/FileFieldHelper.h"
#include "ui/HeadlessBackend.h"
#include "ui/SampleForm.h"

namespace tov {
namespace {

using uitest::SampleForm;
using Log = std::vector<std::string>;

class FileField : public ::testing::Test {
 protected:
  void SetUp() override {
    ui::useHeadlessBackend().setEcho(false);
    form.show();
    helper = std::make_unique<FileFieldHelper>();
    // cmdOk starts, cmdCancel stands for the browse button.
    helper->Attach(form.cmdOk, form.cmdCancel, form.txtName);
  }

  SampleForm form;
  std::unique_ptr<FileFieldHelper> helper;
};

TEST_F(FileField, ADropOnTheFieldOrItsButtonFillsTheFieldCaretAtTheEnd) {
  Log log;
  form.logEvents(log, {"txtName_Change", "txtOther_Change"});
  form.txtName.setText(u"typed.xml");
  ASSERT_TRUE(form.txtName.dropFiles({u"/logs/chat.xml", u"/logs/other.xml"}));
  EXPECT_EQ(form.txtName.text(), u"/logs/chat.xml");  // one field, the first name
  EXPECT_EQ(form.txtName.selStart(), 14);
  ASSERT_TRUE(form.cmdCancel.dropFiles({u"/logs/второй.xml"}));
  EXPECT_EQ(form.txtName.text(), u"/logs/второй.xml");
  EXPECT_EQ(form.txtOther.text(), u"");
  // The window sees the change as from any other setting of the text.
  EXPECT_EQ(log, (Log{"txtName_Change", "txtName_Change", "txtName_Change"}));
}

TEST_F(FileField, OnlyTheAttachedControlsTakeFilesAndNotWhenTheFieldIsDisabled) {
  EXPECT_TRUE(form.txtName.acceptsFileDrops());
  EXPECT_TRUE(form.cmdCancel.acceptsFileDrops());
  EXPECT_FALSE(form.cmdOk.acceptsFileDrops());
  EXPECT_FALSE(form.txtOther.acceptsFileDrops());
  form.txtName.setEnabled(false);
  form.cmdCancel.dropFiles({u"/logs/chat.xml"});
  EXPECT_EQ(form.txtName.text(), u"");
}

TEST_F(FileField, CompletesFileNamesWhileAttached) {
  EXPECT_TRUE(form.txtName.fileNameCompletion());
  EXPECT_FALSE(form.txtOther.fileNameCompletion());
  helper->Attach(form.cmdOk, form.cmdOk, form.txtOther);
  EXPECT_FALSE(form.txtName.fileNameCompletion());
  EXPECT_TRUE(form.txtOther.fileNameCompletion());
  EXPECT_FALSE(form.cmdCancel.acceptsFileDrops());  // the old button is let go
  EXPECT_TRUE(form.cmdOk.acceptsFileDrops());
}

TEST_F(FileField, LettingGoLeavesTheWindowAsBefore) {
  helper.reset();
  EXPECT_FALSE(form.txtName.acceptsFileDrops());
  EXPECT_FALSE(form.cmdCancel.acceptsFileDrops());
  EXPECT_FALSE(form.txtName.fileNameCompletion());
  EXPECT_FALSE(form.txtName.dropFiles({u"/logs/chat.xml"}));
  FileFieldHelper unattached;
  unattached.Detach();
  EXPECT_EQ(unattached.field(), nullptr);
}

}  // namespace
}  // namespace tov
