// Headless running: modal windows and the message loop never block, scripts
// stand in for the user, message boxes are recorded and written to stderr.
#include <gtest/gtest.h>

#include "SampleForm.h"
#include "ui/HeadlessBackend.h"
#include "ui/MessageBox.h"

using namespace tov::ui;
using uitest::SampleForm;
using Log = std::vector<std::string>;

namespace {

class Headless : public ::testing::Test {
 protected:
  void SetUp() override {
    backend = &useHeadlessBackend();
    backend->setEcho(false);
  }
  HeadlessBackend* backend = nullptr;
};

TEST_F(Headless, AModalWindowWithoutAScriptClosesAsByItsCloseBox) {
  SampleForm form;
  Log log;
  form.logEvents(log, {"Form_Load", "Form_Unload", "cmdOk_Click"});
  form.showModal();
  EXPECT_FALSE(form.isLoaded());
  EXPECT_FALSE(form.isModal());
  EXPECT_EQ(log, (Log{"Form_Load", "Form_Unload"}));
}

TEST_F(Headless, AScriptPlaysTheUserOfTheModalWindow) {
  SampleForm form;
  Log log;
  form.logEvents(log, {"cmdOk_Click", "Form_Unload"});
  form.on("cmdOk_Click", [&] {
    log.push_back("cmdOk_Click");
    form.hide();
  });
  bool wasModal = false;
  backend->queueScript([&](Form& shown) {
    wasModal = shown.isModal();
    EXPECT_EQ(&shown, &form);
    form.txtName.typeText(u"typed");
    form.pressKey(13);
  });
  form.showModal();
  EXPECT_TRUE(wasModal);
  // Hidden by its handler, so still loaded and keeping what was typed.
  EXPECT_TRUE(form.isLoaded());
  EXPECT_EQ(form.txtName.text(), u"typed");
  EXPECT_EQ(log, (Log{"cmdOk_Click"}));
  EXPECT_EQ(backend->pendingScripts(), 0u);
}

TEST_F(Headless, ScriptsServeNestedModalWindowsInTurn) {
  SampleForm outer;
  SampleForm inner;
  Log log;
  outer.on("cmdOk_Click", [&] { inner.showModal(); });
  inner.on("cmdOk_Click", [&] {
    log.push_back("inner OK");
    inner.unload();
  });
  backend->queueScript([&](Form&) {
    log.push_back("outer script");
    outer.cmdOk.click();
    log.push_back("inner closed");
  });
  backend->queueScript([&](Form& shown) {
    EXPECT_EQ(&shown, &inner);
    inner.cmdOk.click();
  });
  outer.showModal();
  EXPECT_EQ(log, (Log{"outer script", "inner OK", "inner closed"}));
  EXPECT_FALSE(outer.isLoaded());
}

TEST_F(Headless, AShownWindowCannotAlsoBeShownModally) {
  SampleForm form;
  form.show();
  EXPECT_THROW(form.showModal(), std::logic_error);
}

TEST_F(Headless, TheMessageLoopRunsItsScriptThenClosesWhatIsLeft) {
  SampleForm first;
  SampleForm second;
  Log log;
  first.logEvents(log, {"Form_Unload"});
  second.on("Form_Unload", [&] { log.push_back("second unloaded"); });
  first.show();
  second.show();
  backend->queueScript([&](Form& shown) {
    EXPECT_EQ(&shown, &second);
    log.push_back("script");
  });
  runEventLoop();
  EXPECT_EQ(log, (Log{"script", "second unloaded", "Form_Unload"}));
  EXPECT_TRUE(backend->shownForms().empty());
  runEventLoop();  // nothing shown: returns at once
}

TEST_F(Headless, MessageBoxesAreRecordedWithTheApplicationTitle) {
  setApplicationTitle(u"TOVapps - Quillmark");
  EXPECT_EQ(MessageBox(u"All done ^_^v", kMbIconInformation), kIdOk);
  EXPECT_EQ(MessageBox(u"Can't create text file.", kMbIconError, u"Other"), kIdOk);
  ASSERT_EQ(backend->messageBoxes().size(), 2u);
  const MessageBoxRequest& info = backend->messageBoxes()[0];
  EXPECT_EQ(info.title, u"TOVapps - Quillmark");
  EXPECT_EQ(info.text, u"All done ^_^v");
  EXPECT_EQ(info.style, 64);
  EXPECT_EQ(info.icon(), MessageBoxIcon::Information);
  EXPECT_EQ(backend->messageBoxes()[1].title, u"Other");
  EXPECT_EQ(backend->messageBoxes()[1].icon(), MessageBoxIcon::Error);
  backend->clearMessageBoxes();
  EXPECT_TRUE(backend->messageBoxes().empty());
}

// Without a user the answer is the box's default button.
TEST_F(Headless, MessageBoxesAnswerWithTheirDefaultButton) {
  EXPECT_EQ(MessageBox(u"?", kMbYesNo | kMbIconQuestion), kIdYes);
  EXPECT_EQ(MessageBox(u"?", kMbYesNoCancel | 0x100), kIdNo);
  EXPECT_EQ(MessageBox(u"?", kMbOkCancel | 0x200), kIdCancel);  // past the last button: the last
  EXPECT_EQ(MessageBox(u"?", kMbRetryCancel), kIdRetry);
  EXPECT_EQ((MessageBoxRequest{u"", kMbAbortRetryIgnore, u""}.buttons()), (std::vector<int>{3, 4, 5}));
}

TEST_F(Headless, MessageBoxesGoToStderrWithLineBreaks) {
  backend->setEcho(true);
  setApplicationTitle(u"TOVapps - Quillmark");
  ::testing::internal::CaptureStderr();
  MessageBox(u"Usage:\r\n\r\nx[.EXE] \u0418\rend", kMbIconInformation);
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "TOVapps - Quillmark: Usage:\n\nx[.EXE] \xD0\x98\nend\n");
}

}  // namespace
