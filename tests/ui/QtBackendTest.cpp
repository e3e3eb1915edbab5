// The Qt backend on a real display: the widgets mirror the model, and the
// user's input on them arrives as the model's events. Skipped without a
// display.
#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QCompleter>
#include <QDragEnterEvent>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QTimer>
#include <QtTest/QTest>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <memory>
#include <stdexcept>
#include <thread>

#include "QtTestSupport.h"
#include "SampleForm.h"
#include "TempDir.h"
#include "ui/ApplicationWindow.h"
#include "ui/BusyWork.h"
#include "ui/MessageBox.h"
#include "ui/qt/QtFrameBox.h"

using namespace tov::ui;
using uitest::SampleForm;
using Log = std::vector<std::string>;

namespace {

class QtWindows : public uitest::QtTest {
 protected:
  void SetUp() override {
    uitest::QtTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    form = std::make_unique<SampleForm>();
    form->setFixedBorder(true);
    form->lstItems.addItem(u"Русский");
    form->lstItems.addItem(u"English");
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(backend->windowFor(*form)));
  }
  void TearDown() override {
    form.reset();
    uitest::QtTest::TearDown();
  }

  template <typename W>
  W* widget(const Control& control) {
    return qobject_cast<W*>(backend->widgetFor(control));
  }

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

// The title bar's buttons: a window the user cannot resize offers no
// maximize, and a modal one no minimize either, whenever its border changes.
TEST_F(QtWindows, AFixedWindowOffersMinimizeAndCloseOnly) {
  constexpr Qt::WindowFlags buttons =
      Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint | Qt::WindowCloseButtonHint;
  QWidget* window = backend->windowFor(*form);
  EXPECT_EQ(window->windowFlags() & buttons, Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
  EXPECT_EQ(window->minimumSize(), window->maximumSize());
  form->setFixedBorder(false);
  window = backend->windowFor(*form);
  EXPECT_EQ(window->windowFlags() & buttons, buttons);
  EXPECT_TRUE(window->isVisible());
  EXPECT_NE(window->minimumSize(), window->maximumSize());

  SampleForm dialog;
  dialog.setFixedBorder(true);
  Qt::WindowFlags modalButtons;
  dialog.on("Form_Load", [&] {
    QTimer::singleShot(0, [&] {
      modalButtons = backend->windowFor(dialog)->windowFlags() & buttons;
      dialog.unload();
    });
  });
  dialog.showModal();
  EXPECT_EQ(modalButtons, Qt::WindowCloseButtonHint);
}

// Counts the paint events a widget gets.
class PaintCount : public QObject {
 public:
  int count = 0;

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) ++count;
    return false;
  }
};

Qt::CursorShape pointerShape() {
  const QCursor* cursor = QApplication::overrideCursor();
  return cursor ? cursor->shape() : Qt::BitmapCursor;
}

// Long work runs beside the window: it keeps painting, shows the wait
// cursor and takes no input meanwhile, and a failure comes back.
TEST_F(QtWindows, LongWorkLeavesTheWindowPaintedButDeaf) {
  QWidget* window = backend->windowFor(*form);
  PaintCount paints;
  window->installEventFilter(&paints);
  Log log;
  form->logEvents(log, {"Form_KeyDown", "txtName_Change", "cmdOk_Click", "Form_Unload"});
  std::atomic<bool> release{false};
  Qt::CursorShape during = Qt::BitmapCursor;
  // Input arrives as the platform delivers it, at the window.
  QWindow* handle = window->windowHandle();
  const QPoint onOk = widget<QPushButton>(form->cmdOk)->geometry().center();
  QTimer::singleShot(0, [&] {
    during = pointerShape();
    window->update();
    QTest::keyClick(handle, Qt::Key_A);
    QTest::mouseClick(handle, Qt::LeftButton, {}, onOk);
    window->close();
    QTimer::singleShot(100, [&] { release = true; });
  });
  runBusy([&] {
    // Waits for the window's own timer: only a running event loop ends it.
    for (int i = 0; i < 10000 && !release; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  });
  EXPECT_TRUE(release);
  EXPECT_EQ(during, Qt::WaitCursor);
  EXPECT_GT(paints.count, 0);
  EXPECT_TRUE(log.empty());
  EXPECT_TRUE(form->isVisible());
  EXPECT_EQ(form->activeControl(), &form->txtName);
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);

  EXPECT_THROW(runBusy([] { throw std::runtime_error("failed"); }), std::runtime_error);
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
  QTest::keyClick(handle, Qt::Key_A);
  EXPECT_EQ(form->txtName.text(), u"a");
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

TEST_F(QtWindows, AMessageBoxWhileBusyShowsTheOrdinaryPointer) {
  const BusyCursor busy;
  Qt::CursorShape overBox = Qt::BitmapCursor;
  QTimer::singleShot(0, [&] {
    overBox = pointerShape();
    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) box->button(QMessageBox::Ok)->click();
  });
  MessageBox(u"Converted.");
  EXPECT_EQ(overBox, Qt::ArrowCursor);
  EXPECT_EQ(pointerShape(), Qt::WaitCursor);
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

std::unique_ptr<QMimeData> filesDrag(const QStringList& files) {
  auto data = std::make_unique<QMimeData>();
  QList<QUrl> urls;
  for (const QString& file : files) urls.push_back(QUrl::fromLocalFile(file));
  data->setUrls(urls);
  return data;
}

// Sends what a drag from a file manager sends; true when the drop was taken.
bool dragAndDrop(QWidget* target, const QMimeData& data) {
  const QPoint at = target->rect().center();
  QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(target, &enter);
  if (!enter.isAccepted()) return false;
  QDropEvent drop(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(target, &drop);
  return drop.isAccepted();
}

TEST_F(QtWindows, FilesDraggedOntoControlsReachTheModelWhereItTakesThem) {
  std::vector<std::u16string> dropped;
  auto record = [&](EventArgs& args) { dropped.insert(dropped.end(), args.files->begin(), args.files->end()); };
  form->on("txtName_FilesDropped", record);
  form->on("cmdOk_FilesDropped", record);
  const auto files = filesDrag({QString::fromUtf8("/logs/a b.xml"), QString::fromUtf8("/logs/второй.xml")});
  EXPECT_TRUE(dragAndDrop(widget<QLineEdit>(form->txtName), *files));
  EXPECT_TRUE(dragAndDrop(widget<QPushButton>(form->cmdOk), *files));
  EXPECT_EQ(dropped, (std::vector<std::u16string>{u"/logs/a b.xml", u"/logs/второй.xml", u"/logs/a b.xml",
                                                  u"/logs/второй.xml"}));
  // Where the window takes no files, or the control is disabled, a drop is refused.
  dropped.clear();
  EXPECT_FALSE(dragAndDrop(widget<QPushButton>(form->cmdCancel), *files));
  form->txtName.setEnabled(false);
  EXPECT_FALSE(dragAndDrop(widget<QLineEdit>(form->txtName), *files));
  // Web addresses are no files.
  form->txtName.setEnabled(true);
  QMimeData web;
  web.setUrls({QUrl(QStringLiteral("https://example.org/a.xml"))});
  EXPECT_FALSE(dragAndDrop(widget<QPushButton>(form->cmdOk), web));
  EXPECT_TRUE(dropped.empty());
}

TEST_F(QtWindows, TextDraggedIntoAFieldIsStillTyping) {
  form->on("txtName_FilesDropped", [](EventArgs&) { ADD_FAILURE() << "text is no file"; });
  QMimeData text;
  text.setText(QStringLiteral("chat"));
  dragAndDrop(widget<QLineEdit>(form->txtName), text);
  EXPECT_EQ(form->txtName.text(), u"chat");
}

TEST_F(QtWindows, FileNameCompletionOffersExistingFilesAndFillsTheModel) {
  tovtest::TempDir dir("complete");
  tovtest::writeBytes(dir / "chat-log.xml", "<Log/>");
  QLineEdit* edit = widget<QLineEdit>(form->txtName);
  EXPECT_EQ(edit->completer(), nullptr);
  form->txtName.setFileNameCompletion(true);
  ASSERT_NE(edit->completer(), nullptr);
  edit->setFocus();
  const QString typed = QString::fromStdString((dir / "chat-").string());
  QTest::keyClicks(edit, typed);
  QCompleter* completer = edit->completer();
  // The directory is read in the background; the list shows once it is in,
  // even for a path typed in one go.
  ASSERT_TRUE(QTest::qWaitFor([&] { return completer->popup()->isVisible() && completer->completionCount() == 1; }));
  QTest::keyClick(completer->popup(), Qt::Key_Down);
  QTest::keyClick(completer->popup(), Qt::Key_Return);
  EXPECT_EQ(form->txtName.text(), tovtest::u16(dir / "chat-log.xml"));
  form->txtName.setFileNameCompletion(false);
  EXPECT_EQ(edit->completer(), nullptr);
}

// With the completion list open the toolkit hands every key to the list.
// It keeps only moving through it, Enter on an entry moved to and Escape;
// Tab moves on and takes nothing, and the window's own keys reach the form.
class CompletionListOpen : public QtWindows {
 protected:
  void SetUp() override {
    QtWindows::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    for (const char* name : {"chat-log.xml", "chat-old.xml"}) tovtest::writeBytes(dir / name, "<Log/>");
    form->txtName.setFileNameCompletion(true);
    edit = widget<QLineEdit>(form->txtName);
    edit->setFocus();
    typed = tovtest::u16(dir / "chat-");
    QTest::keyClicks(edit, QString::fromStdU16String(typed));
    popup = edit->completer()->popup();
    ASSERT_TRUE(QTest::qWaitFor([&] { return popup->isVisible() && edit->completer()->completionCount() == 2; }));
  }

  tovtest::TempDir dir{"complete"};
  QLineEdit* edit = nullptr;
  QAbstractItemView* popup = nullptr;
  std::u16string typed;
};

TEST_F(CompletionListOpen, TabClosesTheListAndMovesOnTakingNothing) {
  QTest::keyClick(popup, Qt::Key_Down);
  QTest::keyClick(popup, Qt::Key_Up);
  QTest::keyClick(popup, Qt::Key_Tab);
  EXPECT_FALSE(popup->isVisible());
  EXPECT_EQ(form->activeControl(), &form->txtOther);
  EXPECT_EQ(form->txtName.text(), typed);
  EXPECT_EQ(QApplication::focusWidget(), widget<QLineEdit>(form->txtOther));
}

TEST_F(CompletionListOpen, TheWindowsKeysReachTheForm) {
  Log log;
  form->logEvents(log, {"Form_KeyDown", "cmdOk_Click", "Form_Unload"});
  // Escape closes the list, not the window.
  QTest::keyClick(popup, Qt::Key_Escape);
  EXPECT_FALSE(popup->isVisible());
  EXPECT_TRUE(form->isLoaded());

  QTest::keyClicks(edit, "x");
  ASSERT_TRUE(QTest::qWaitFor([&] { return popup->isVisible() || form->txtName.text() == typed + u"x"; }));
  log.clear();
  QTest::keyClick(popup, Qt::Key_Return, Qt::ControlModifier);
  EXPECT_FALSE(popup->isVisible());
  EXPECT_EQ(log, (Log{"Form_KeyDown:17", "Form_KeyDown:13"}));

  // Enter without an entry moved to is the window's Enter: the default button.
  QTest::keyClick(edit, Qt::Key_Backspace);
  ASSERT_TRUE(QTest::qWaitFor([&] { return popup->isVisible(); }));
  log.clear();
  QTest::keyClick(popup, Qt::Key_Return);
  EXPECT_FALSE(popup->isVisible());
  EXPECT_EQ(log, (Log{"Form_KeyDown:13", "cmdOk_Click"}));
  EXPECT_EQ(form->txtName.text(), typed);
}

// The list opens for what the user types, not when a file appears in the
// directory later (the conversion writing its output beside the log).
TEST_F(CompletionListOpen, AFileAppearingLaterOpensNoList) {
  QTest::keyClick(popup, Qt::Key_Escape);
  ASSERT_FALSE(popup->isVisible());
  // Typed again into a directory read already, then a file appears.
  edit->clear();
  QTest::keyClicks(edit, QString::fromStdU16String(tovtest::u16(dir / "x")));
  ASSERT_FALSE(popup->isVisible());
  tovtest::writeBytes(dir / "xout.txt", "text");
  QTest::qWait(1500);
  EXPECT_FALSE(popup->isVisible());
}

// Keys queued for a control before Tab moved the focus on, and the toolkit
// handing the focus back to a control the user has left, both happen when
// a completion list closes under a fast typist.
TEST_F(QtWindows, KeysAndFocusStayWhereTheUserPutThem) {
  ASSERT_TRUE(QTest::qWaitForWindowActive(backend->windowFor(*form)));
  auto* name = widget<QLineEdit>(form->txtName);
  auto* other = widget<QLineEdit>(form->txtOther);
  form->txtOther.setFocus();
  QTest::keyClicks(name, "ab");
  EXPECT_EQ(form->txtName.text(), u"");
  EXPECT_EQ(form->txtOther.text(), u"ab");

  name->setFocus(Qt::ActiveWindowFocusReason);
  EXPECT_EQ(form->activeControl(), &form->txtOther);
  EXPECT_EQ(QApplication::focusWidget(), other);
  name->setFocus(Qt::PopupFocusReason);
  EXPECT_EQ(form->activeControl(), &form->txtOther);
  // A click is the user's choice.
  name->setFocus(Qt::MouseFocusReason);
  EXPECT_EQ(form->activeControl(), &form->txtName);
  EXPECT_EQ(QApplication::focusWidget(), name);
}

// The border runs through the middle of the caption, which breaks it; the
// frame's outer rectangle is the control's.
TEST_F(QtWindows, AFramesCaptionSitsOnItsTopBorder) {
  auto* frame = dynamic_cast<QtFrameBox*>(backend->widgetFor(form->fraBox));
  ASSERT_NE(frame, nullptr);
  EXPECT_EQ(frame->geometry(), QRect(8, 64, 280, 80));
  const QRect caption = frame->captionRect();
  const int line = frame->borderRect().top();
  EXPECT_GT(line, caption.top());
  EXPECT_LT(line, caption.bottom());
  EXPECT_EQ(frame->borderRect().bottom(), frame->height() - 1);

  const QImage picture = frame->grab().toImage();
  const QColor lineColour = frame->palette().color(QPalette::Dark);
  const QColor background = frame->palette().color(frame->backgroundRole());
  EXPECT_EQ(picture.pixel(caption.right() + 4, line), lineColour.rgb());
  EXPECT_EQ(picture.pixel(0, line + 10), lineColour.rgb());
  EXPECT_EQ(picture.pixel(caption.right() + 4, 0), background.rgb());
  // Behind the caption only its letters and the background show, no line.
  int lineDots = 0;
  for (int x = caption.left(); x <= caption.right(); ++x) lineDots += picture.pixel(x, line) == lineColour.rgb();
  EXPECT_LT(lineDots, caption.width() / 2);
}

TEST_F(QtWindows, WindowsAndTheApplicationShowTheirIconsAtEverySize) {
  tovtest::TempDir dir("icons");
  std::vector<std::u16string> files;
  for (int size : {16, 32}) {
    QPixmap picture(size, size);
    picture.fill(Qt::red);
    const auto file = dir / (std::to_string(size) + ".png");
    ASSERT_TRUE(picture.save(QString::fromStdString(file.string())));
    files.push_back(tovtest::u16(file));
  }
  form->setIcon(files);
  const QList<QSize> sizes = backend->windowFor(*form)->windowIcon().availableSizes();
  EXPECT_TRUE(sizes.contains(QSize(16, 16)) && sizes.contains(QSize(32, 32))) << sizes.size();
  ApplicationWindow::instance().setIcon(files);
  EXPECT_TRUE(QApplication::windowIcon().availableSizes().contains(QSize(32, 32)));
  ApplicationWindow::instance().setIcon(u"");
  EXPECT_TRUE(QApplication::windowIcon().isNull());
}

}  // namespace
