// The main window on a desktop with a window manager, typed into through the
// X server as a fast user types: the input's full path, Tab twice, the
// output's full path, Ctrl+Enter. Completion lists open and close while the
// keys arrive; every key must land in the field that had the focus, Tab must
// move on whether a list is open or not, and the conversion must write the
// file named. Repeated, since a lost key shows only in some runs.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <QProcess>
#include <QTimer>
#include <QtTest/QTest>
#include <memory>
#include <string>
#include <vector>

#include "TempDir.h"
#include "VirtualDesktop.h"
#include "converter/CLocalization.h"
#include "converter/ProgramInfo.h"
#include "converter/frmMain.h"
#include "fileio/tovFSO.h"
#include "ui/Application.h"
#include "ui/MessageBox.h"
#include "ui/qt/QtBackend.h"
#include "ui/qt/QtToolkit.h"

namespace {

using quillmark::frmMain;

class FileWriter : public quillmark::TextFileWriter {
 public:
  void PutFile(std::u16string_view name, std::u16string_view data) override { fso.PutFile(name, data, true); }
  void PutFileW(std::u16string_view name, std::u16string_view data) override { fso.PutFileW(name, data, true); }
  ferrule::tovFSO fso;
};

// xdotool's key names for the characters of a path.
QStringList keysFor(const std::string& text) {
  QStringList keys;
  for (char c : text) {
    switch (c) {
      case '/': keys << QStringLiteral("slash"); break;
      case '.': keys << QStringLiteral("period"); break;
      case '-': keys << QStringLiteral("minus"); break;
      case '_': keys << QStringLiteral("underscore"); break;
      default: keys << QString(QChar::fromLatin1(c));
    }
  }
  return keys;
}

struct Outcome {
  std::u16string input;
  std::u16string output;
  std::vector<std::string> boxes;
};

class TypedIntoTheWindow : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { desktop = new tovtest::VirtualDesktop; }
  static void TearDownTestSuite() {
    delete desktop;
    desktop = nullptr;
  }

  void SetUp() override {
    if (!desktop->running()) GTEST_SKIP() << "no desktop to type on: " << desktop->problem();
    setenv("DISPLAY", desktop->display().c_str(), 1);
    unsetenv("WAYLAND_DISPLAY");
    unsetenv("QT_QPA_PLATFORM");
    setenv("DBUS_SESSION_BUS_ADDRESS", "disabled:", 1);
    app = std::make_unique<tov::ui::Application>("tests_window", tov::ui::BackendChoice::Qt, &tov::ui::startQtToolkit);
    if (app->isHeadless()) GTEST_SKIP() << "the toolkit cannot open " << desktop->display();
    backend = dynamic_cast<tov::ui::QtBackend*>(&tov::ui::Backend::current());
    ASSERT_NE(backend, nullptr);
    tov::ui::setApplicationTitle(quillmark::kProgramTitle);
    localization.setLanguageID(quillmark::CLocalization::kEnglish);
  }
  void TearDown() override { app.reset(); }

  // Shows a fresh main window, types into it and presses Ctrl+Enter; every
  // message box that opens is noted and closed.
  Outcome typeAndStart(int delayMs, const std::string& input, const std::string& output) {
    Outcome outcome;
    frmMain window(frmMain::Services{localization, [this]() -> quillmark::TextFileWriter& { return writer; }, {}});
    window.show();
    QWidget* shown = backend->windowFor(window);
    if (!shown || !QTest::qWaitForWindowActive(shown)) {
      ADD_FAILURE() << "the window did not become active";
      return outcome;
    }
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [&outcome] {
      if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()); box && box->isVisible()) {
        outcome.boxes.push_back(box->text().toStdString());
        box->done(QMessageBox::Ok);
      }
    });
    answer.start(20);

    QStringList keys{QStringLiteral("key"), QStringLiteral("--delay"), QString::number(delayMs)};
    keys << keysFor(input) << QStringLiteral("Tab") << QStringLiteral("Tab") << keysFor(output)
         << QStringLiteral("ctrl+Return");
    QProcess typist;
    typist.start(QString::fromStdString(desktop->xdotool()), keys);
    EXPECT_TRUE(QTest::qWaitFor([&] { return typist.state() == QProcess::NotRunning; }, 30000));
    EXPECT_EQ(typist.exitCode(), 0) << typist.readAllStandardError().toStdString();
    // The last keys may still be on their way; the conversion answers with
    // a box either way.
    (void)QTest::qWaitFor([&] { return !outcome.boxes.empty(); }, 5000);
    QTest::qWait(100);
    outcome.input = window.txtInFileName.text();
    outcome.output = window.txtOutFileName.text();
    window.unload();
    return outcome;
  }

  static tovtest::VirtualDesktop* desktop;
  std::unique_ptr<tov::ui::Application> app;
  tov::ui::QtBackend* backend = nullptr;
  quillmark::CLocalization localization{quillmark::programInfo()};
  FileWriter writer;
};

tovtest::VirtualDesktop* TypedIntoTheWindow::desktop = nullptr;

TEST_F(TypedIntoTheWindow, EveryKeyLandsInTheFocusedFieldAndTheFileIsWritten) {
  tovtest::TempDir dir("typed");
  // Names sharing the typed prefixes, so lists open while typing, and an
  // output that exists after the first run, so one is open at Ctrl+Enter.
  tovtest::writeBytes(dir / "chat.xml",
                      "<Log><Message Date='1' Time='2'><From><User FriendlyName='Ann'/></From>"
                      "<To><User FriendlyName='Bob'/></To><Text>hello</Text></Message></Log>");
  for (const char* name : {"chat.xml.old", "chatter.txt", "out.txt.old"}) tovtest::writeBytes(dir / name, "");
  std::filesystem::create_directory(dir / "chats");
  const std::string input = (dir / "chat.xml").string();
  const std::string output = (dir / "out.txt").string();

  for (int delay : {12, 4, 1, 12, 4, 1}) {
    SCOPED_TRACE("typed with " + std::to_string(delay) + " ms between keys");
    const Outcome outcome = typeAndStart(delay, input, output);
    EXPECT_EQ(outcome.input, tovtest::u16(input));
    EXPECT_EQ(outcome.output, tovtest::u16(output));
    EXPECT_EQ(outcome.boxes, std::vector<std::string>{"All done ^_^v"});
    const std::string text = tovtest::readBytes(output);
    EXPECT_NE(text.find("### Ann - Bob"), std::string::npos) << text;
    EXPECT_NE(text.find("hello"), std::string::npos);
    std::filesystem::remove(output);
    if (HasFailure()) break;
  }
}

}  // namespace
