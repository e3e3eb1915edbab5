// Files dropped on controls, and the file-name completion flag of text
// fields: the model's side, which the backends feed and read.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "SampleForm.h"
#include "ui/HeadlessBackend.h"
#include "ui/PropertyNotSupported.h"

using namespace tov::ui;
using uitest::SampleForm;
using Names = std::vector<std::u16string>;

namespace {

class FileDrop : public ::testing::Test {
 protected:
  void SetUp() override {
    useHeadlessBackend().setEcho(false);
    form.on("txtName_FilesDropped", [this](EventArgs& args) {
      ASSERT_NE(args.files, nullptr);
      dropped.push_back(*args.files);
      sources.push_back(args.source);
    });
  }

  SampleForm form;
  std::vector<Names> dropped;
  std::vector<Control*> sources;
};

TEST_F(FileDrop, ReachesTheWindowWithEveryNameInOrder) {
  form.show();
  form.txtOther.setFocus();
  const Names names{u"/logs/a b.xml", u"/logs/второй.xml"};
  ASSERT_TRUE(form.txtName.dropFiles(names));
  ASSERT_EQ(dropped.size(), 1u);
  EXPECT_EQ(dropped[0], names);
  EXPECT_EQ(sources[0], &form.txtName);
  // Dropping does not activate the control.
  EXPECT_EQ(form.activeControl(), &form.txtOther);
}

TEST_F(FileDrop, OnlyWhereTheWindowTakesThemAndTheUserCouldAct) {
  EXPECT_TRUE(form.txtName.acceptsFileDrops());
  EXPECT_FALSE(form.txtOther.acceptsFileDrops());
  EXPECT_FALSE(form.txtName.dropFiles({u"/a.xml"}));  // not shown
  form.show();
  EXPECT_FALSE(form.txtOther.dropFiles({u"/a.xml"}));  // no handler
  EXPECT_FALSE(form.txtName.dropFiles({}));
  form.txtName.setEnabled(false);
  EXPECT_FALSE(form.txtName.dropFiles({u"/a.xml"}));
  form.txtName.setEnabled(true);
  form.txtName.setVisible(false);
  EXPECT_FALSE(form.txtName.dropFiles({u"/a.xml"}));
  EXPECT_TRUE(dropped.empty());

  form.on("txtName_FilesDropped", Form::Handler());
  EXPECT_FALSE(form.txtName.acceptsFileDrops());
}

TEST_F(FileDrop, ControlsInADisabledFrameTakeNone) {
  form.on("lstItems_FilesDropped", [this](EventArgs& args) { dropped.push_back(*args.files); });
  form.show();
  form.fraBox.setEnabled(false);
  EXPECT_FALSE(form.lstItems.dropFiles({u"/a.xml"}));
  form.fraBox.setEnabled(true);
  EXPECT_TRUE(form.lstItems.dropFiles({u"/a.xml"}));
  EXPECT_EQ(dropped.size(), 1u);
}

TEST(FileNameCompletion, BelongsToTextFieldsAndEndsWithTheirWindow) {
  useHeadlessBackend().setEcho(false);
  SampleForm form;
  EXPECT_THROW(form.cmdOk.setFileNameCompletion(true), PropertyNotSupported);
  EXPECT_THROW(form.lstItems.fileNameCompletion(), PropertyNotSupported);
  form.show();
  EXPECT_FALSE(form.txtName.fileNameCompletion());
  form.txtName.setFileNameCompletion(true);
  EXPECT_TRUE(form.txtName.fileNameCompletion());
  // Unloading returns the window to its design, where nothing completes.
  form.unload();
  EXPECT_FALSE(form.txtName.fileNameCompletion());
}

}  // namespace
