// The about box as the program asks for it: what reaches the backend, and
// what the terminal shows without a display.
#include <gtest/gtest.h>

#include "ui/AppServices.h"
#include "ui/ApplicationWindow.h"
#include "ui/HeadlessBackend.h"
#include "ui/SampleForm.h"

namespace tov {
namespace {

class RecordingBackend : public ui::HeadlessBackend {
 public:
  void aboutBox(const ui::AboutBoxRequest& request) override { requests.push_back(request); }
  std::vector<ui::AboutBoxRequest> requests;
};

const AppInfo kApp{u"Quillmark", u"TOVapps - Quillmark", 1, 1, 4, u"quillmark"};

TEST(AboutBox, CarriesTitleVersionTextsAndTheOwnersIconElseTheApplications) {
  auto owned = std::make_unique<RecordingBackend>();
  RecordingBackend& backend = *owned;
  ui::Backend::install(std::move(owned));
  ui::ApplicationWindow::instance().setIcon(u"/share/app.png");
  uitest::SampleForm owner;
  AppServices::instance().ShowAbout(owner.handle(), kApp, u"", nullptr, u"For everyone.");
  owner.setIcon(u"/share/window.png");
  AppServices::instance().ShowAbout(owner.handle(), kApp, u"Extra", nullptr, u"");
  ui::ApplicationWindow::instance().setIcon(u"");
  ASSERT_EQ(backend.requests.size(), 2u);
  const ui::AboutBoxRequest& first = backend.requests[0];
  EXPECT_EQ(first.owner, owner.handle());
  EXPECT_EQ(first.title, u"TOVapps - Quillmark");
  EXPECT_EQ(first.version, u"1.01.0004");
  EXPECT_EQ(first.dedication, u"For everyone.");
  EXPECT_EQ(first.icon, std::vector<std::u16string>{u"/share/app.png"});
  EXPECT_EQ(backend.requests[1].extraText, u"Extra");
  EXPECT_EQ(backend.requests[1].icon, std::vector<std::u16string>{u"/share/window.png"});
}

TEST(AboutBox, WithoutADisplayItIsAMessageOnTheTerminalAndNeverWaits) {
  ui::HeadlessBackend& backend = ui::useHeadlessBackend();
  backend.setEcho(true);
  testing::internal::CaptureStderr();
  AppServices::instance().ShowAbout(0, kApp, u"", nullptr, u"For everyone.");
  const std::string shown = testing::internal::GetCapturedStderr();
  EXPECT_EQ(shown, "About TOVapps - Quillmark: TOVapps - Quillmark\nVersion 1.01.0004\n\nFor everyone.\n");
  ASSERT_EQ(backend.messageBoxes().size(), 1u);
  EXPECT_EQ(backend.messageBoxes()[0].style, ui::kMbIconInformation);
}

}  // namespace
}  // namespace tov
