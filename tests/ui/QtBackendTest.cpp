// The Qt backend on a real display: the widgets mirror the model, and the
// user's input on them arrives as the model's events. Skipped without a
// display.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QtTest/QTest>
#include <cstdlib>
#include <memory>

#include "SampleForm.h"
#include "ui/MessageBox.h"
#include "ui/qt/Application.h"
#include "ui/qt/QtBackend.h"

using namespace tov::ui;
using uitest::SampleForm;
using Log = std::vector<std::string>;

namespace {

bool displaySet() {
  const char* x = std::getenv("DISPLAY");
  const char* wayland = std::getenv("WAYLAND_DISPLAY");
  return (x && *x) || (wayland && *wayland);
}

class QtWindows : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!displaySet()) GTEST_SKIP() << "no display";
    // The windows need no session bus, and Qt's bus thread leaves a read
    // buffer behind at exit that the leak checker would report.
    setenv("DBUS_SESSION_BUS_ADDRESS", "disabled:", 1);
    app = std::make_unique<Application>("tests_ui", BackendChoice::Qt);
    if (app->isHeadless()) GTEST_SKIP() << "the display cannot be opened";
    backend = dynamic_cast<QtBackend*>(&Backend::current());
    ASSERT_NE(backend, nullptr);
    form = std::make_unique<SampleForm>();
    form->setFixedBorder(true);
    form->lstItems.addItem(u"Русский");
    form->lstItems.addItem(u"English");
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(backend->windowFor(*form)));
  }
  void TearDown() override {
    form.reset();
    app.reset();
  }

  template <typename W>
  W* widget(const Control& control) {
    return qobject_cast<W*>(backend->widgetFor(control));
  }

  std::unique_ptr<Application> app;
  QtBackend* backend = nullptr;
  std::unique_ptr<SampleForm> form;
};

TEST_F(QtWindows, WidgetsStandAtTheirTwipsPositions) {
  QtFormWindow* window = backend->windowFor(*form);
  EXPECT_EQ(window->windowTitle(), "Sample");
  EXPECT_EQ(window->size(), QSize(300, 193));
  EXPECT_EQ(window->minimumSize(), window->maximumSize());  // fixed border
  EXPECT_EQ(widget<QLineEdit>(form->txtName)->geometry(), QRect(80, 8, 200, 22));
  QListWidget* list = widget<QListWidget>(form->lstItems);
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(list->parentWidget(), widget<QGroupBox>(form->fraBox));  // relative to its frame
  EXPECT_EQ(list->geometry(), QRect(8, 16, 120, 53));
  EXPECT_EQ(list->item(0)->text(), QString::fromUtf8("Русский"));
}

TEST_F(QtWindows, ModelChangesReachTheWidgets) {
  form->cmdOk.setCaption(u"Пуск!");
  form->txtName.setText(u"chat.xml");
  form->cmdCancel.setEnabled(false);
  form->lstItems.setListIndex(1);
  form->txtOther.setVisible(false);
  EXPECT_EQ(widget<QPushButton>(form->cmdOk)->text(), QString::fromUtf8("Пуск!"));
  EXPECT_EQ(widget<QLineEdit>(form->txtName)->text(), "chat.xml");
  EXPECT_FALSE(widget<QPushButton>(form->cmdCancel)->isEnabled());
  EXPECT_EQ(widget<QListWidget>(form->lstItems)->currentRow(), 1);
  EXPECT_TRUE(widget<QLineEdit>(form->txtOther)->isHidden());
}

TEST_F(QtWindows, TypingClickingAndPickingRaiseTheModelsEvents) {
  Log log;
  form->logEvents(log, {"txtName_Change", "cmdCancel_Click", "lstItems_Click", "lstItems_DblClick"});
  QTest::keyClicks(widget<QLineEdit>(form->txtName), "ab");
  EXPECT_EQ(form->txtName.text(), u"ab");
  EXPECT_EQ(form->txtName.selStart(), 2);
  QTest::mouseClick(widget<QPushButton>(form->cmdCancel), Qt::LeftButton);
  QListWidget* list = widget<QListWidget>(form->lstItems);
  const QPoint english = list->visualItemRect(list->item(1)).center();
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, english);
  QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, english);
  EXPECT_EQ(form->lstItems.listIndex(), 1);
  EXPECT_EQ(log, (Log{"txtName_Change", "txtName_Change", "cmdCancel_Click", "lstItems_Click", "lstItems_DblClick"}));
}

TEST_F(QtWindows, KeysGoThroughTheModelFirst) {
  Log log;
  form->logEvents(log, {"Form_KeyDown", "cmdOk_Click"});
  QLineEdit* edit = widget<QLineEdit>(form->txtName);
  QTest::keyClick(edit, Qt::Key_Return);
  QTest::keyClick(edit, Qt::Key_Return, Qt::ControlModifier);
  // The Ctrl key is reported on its own too, as the key went down first.
  EXPECT_EQ(log, (Log{"Form_KeyDown:13", "cmdOk_Click", "Form_KeyDown:17", "Form_KeyDown:13"}));
  QTest::keyClick(edit, Qt::Key_Tab);
  EXPECT_EQ(form->activeControl(), &form->txtOther);
}

TEST_F(QtWindows, EscapeAndTheCloseBoxUnloadThroughTheModel) {
  Log log;
  form->logEvents(log, {"Form_Unload"});
  form->on("cmdCancel_Click", [this] { form->unload(); });
  QTest::keyClick(widget<QLineEdit>(form->txtName), Qt::Key_Escape);
  EXPECT_FALSE(form->isLoaded());
  EXPECT_EQ(backend->windowFor(*form), nullptr);
  form->show();
  backend->windowFor(*form)->close();
  EXPECT_FALSE(form->isLoaded());
  EXPECT_EQ(log, (Log{"Form_Unload", "Form_Unload"}));
}

TEST_F(QtWindows, AModalWindowRunsUntilItCloses) {
  SampleForm dialog;
  dialog.on("cmdOk_Click", [&] { dialog.unload(); });
  QTimer::singleShot(0, [&] { dialog.cmdOk.click(); });
  dialog.showModal();
  EXPECT_FALSE(dialog.isLoaded());
}

// Answers the message box that is about to open with the given button and
// keeps what it showed.
struct BoxAnswer {
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  QString title;
  QString text;
  bool shown = false;
};

void answerNextBox(BoxAnswer& seen, QMessageBox::StandardButton button) {
  QTimer::singleShot(0, [&seen, button] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box) return;
    seen = {box->icon(), box->windowTitle(), box->text(), true};
    box->button(button)->click();
  });
}

TEST_F(QtWindows, MessageBoxesAreModalDialogsWithTheirIconAndButtons) {
  setApplicationTitle(u"TOVapps - Quillmark");
  BoxAnswer seen;
  answerNextBox(seen, QMessageBox::Ok);
  EXPECT_EQ(MessageBox(u"Can't create text file.\r\n\r\nDisk full", kMbIconError), kIdOk);
  ASSERT_TRUE(seen.shown);
  EXPECT_EQ(seen.icon, QMessageBox::Critical);
  EXPECT_EQ(seen.title, "TOVapps - Quillmark");
  EXPECT_EQ(seen.text, "Can't create text file.\n\nDisk full");

  answerNextBox(seen, QMessageBox::No);
  EXPECT_EQ(MessageBox(u"Again?", kMbYesNo | kMbIconQuestion, u"Question"), kIdNo);
  EXPECT_EQ(seen.icon, QMessageBox::Question);
  EXPECT_EQ(seen.title, "Question");
}

}  // namespace
