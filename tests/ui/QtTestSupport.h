#pragma once
// What the tests of the Qt backend share: the toolkit started for each test
// (skipped without a display), and a way to answer the modal dialog a call
// is about to open.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTimer>
#include <cstdlib>
#include <functional>
#include <memory>

#include "ui/Application.h"
#include "ui/qt/QtBackend.h"
#include "ui/qt/QtToolkit.h"

namespace uitest {

inline bool displaySet() {
  const char* x = std::getenv("DISPLAY");
  const char* wayland = std::getenv("WAYLAND_DISPLAY");
  return (x && *x) || (wayland && *wayland);
}

class QtTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!displaySet()) GTEST_SKIP() << "no display";
    // The windows need no session bus, and Qt's bus thread leaves a read
    // buffer behind at exit that the leak checker would report.
    setenv("DBUS_SESSION_BUS_ADDRESS", "disabled:", 1);
    app = std::make_unique<tov::ui::Application>("tests_ui", tov::ui::BackendChoice::Qt, &tov::ui::startQtToolkit);
    if (app->isHeadless()) GTEST_SKIP() << "the display cannot be opened";
    backend = dynamic_cast<tov::ui::QtBackend*>(&tov::ui::Backend::current());
    ASSERT_NE(backend, nullptr);
  }
  void TearDown() override { app.reset(); }

  std::unique_ptr<tov::ui::Application> app;
  tov::ui::QtBackend* backend = nullptr;
};

// Once a modal dialog of type D is open, hands it to `answer`, which must
// close it. Looks for it until it shows, so slow dialogs are found too.
template <typename D>
void whenDialogOpens(std::function<void(D*)> answer, int triesLeft = 500) {
  QTimer::singleShot(10, [answer = std::move(answer), triesLeft] {
    if (auto* dialog = dynamic_cast<D*>(QApplication::activeModalWidget()); dialog && dialog->isVisible()) {
      answer(dialog);
    } else if (triesLeft > 0) {
      whenDialogOpens<D>(answer, triesLeft - 1);
    } else {
      ADD_FAILURE() << "no dialog opened";
      if (QWidget* other = QApplication::activeModalWidget()) other->close();
    }
  });
}

}  // namespace uitest
