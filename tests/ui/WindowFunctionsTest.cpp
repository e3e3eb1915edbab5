// The window support functions, by window and by handle.
#include <gtest/gtest.h>

#include <memory>

#include "SampleForm.h"
#include "ui/HeadlessBackend.h"
#include "ui/WindowFunctions.h"

using namespace tov::ui;
using uitest::SampleForm;

namespace {

class WindowFunctions : public ::testing::Test {
 protected:
  void SetUp() override { useHeadlessBackend().setEcho(false); }
};

TEST_F(WindowFunctions, CentresOnTheScreen) {
  SampleForm form;
  form.setClientSize({5955, 3135});
  ASSERT_TRUE(asCenterFormEx(form.handle()));
  // 1024 x 768 pixels are 15360 x 11520 twips.
  EXPECT_EQ(form.left(), (15360 - 5955) / 2);
  EXPECT_EQ(form.top(), (11520 - 3135) / 2);
  form.setClientSize({20000, 3000});
  asCenterFormEx(form);
  EXPECT_EQ(form.left(), 0);
  EXPECT_FALSE(asCenterFormEx(form.txtName.handle()));
  EXPECT_FALSE(asCenterFormEx(Handle{0}));
}

TEST_F(WindowFunctions, HighlightsTheWholeTextOfATextField) {
  SampleForm form;
  form.txtName.setText(u"C:\\Logs\\chat.xml");
  form.txtName.setSelStart(3);
  ASSERT_TRUE(asHighlightText(form.txtName.handle()));
  EXPECT_EQ(form.txtName.selStart(), 0);
  EXPECT_EQ(form.txtName.selLength(), 16);
  EXPECT_FALSE(asHighlightText(form.cmdOk));
  EXPECT_FALSE(asHighlightText(form.handle()));
}

TEST_F(WindowFunctions, GetFocusNamesTheFocusedControlOfTheActiveWindow) {
  EXPECT_EQ(GetFocus(), 0);
  SampleForm first;
  first.show();
  EXPECT_EQ(GetFocus(), first.txtName.handle());
  {
    SampleForm second;
    second.show();
    second.cmdOk.setFocus();
    EXPECT_EQ(GetFocus(), second.cmdOk.handle());
  }
  EXPECT_EQ(GetFocus(), 0);  // the active window is gone
  first.txtOther.setFocus();
  EXPECT_EQ(GetFocus(), first.txtOther.handle());
}

TEST_F(WindowFunctions, HandlesOfDestroyedWindowsFindNothing) {
  auto form = std::make_unique<SampleForm>();
  const Handle window = form->handle();
  const Handle field = form->txtName.handle();
  form.reset();
  EXPECT_FALSE(asCenterFormEx(window));
  EXPECT_FALSE(asHighlightText(field));
}

}  // namespace
