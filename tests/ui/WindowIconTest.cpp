// Icons from the program's resources: a group name found as installed image
// files, given to a window or, through the application's hidden window, to
// the application.
#include <gtest/gtest.h>

#include <memory>

#include "SampleForm.h"
#include "TempDir.h"
#include "ui/ApplicationWindow.h"
#include "ui/HandleTable.h"
#include "ui/HeadlessBackend.h"
#include "ui/IconResources.h"
#include "ui/WindowFunctions.h"

using namespace tov::ui;
using uitest::SampleForm;
using Files = std::vector<std::u16string>;

namespace {

class WindowIcon : public ::testing::Test {
 protected:
  void SetUp() override {
    useHeadlessBackend().setEcho(false);
    IconResources::define(u"A_TEST", "tovtest", {16, 32, 48});
    IconResources::setDataDirectories({first.path(), second.path()});
  }
  void TearDown() override {
    IconResources::setDataDirectories({});
    ApplicationWindow::instance().setIcon(u"");
  }

  std::u16string install(const tovtest::TempDir& data, int size) {
    const std::string dim = std::to_string(size) + "x" + std::to_string(size);
    const auto dir = data.path() / "icons" / "hicolor" / dim / "apps";
    std::filesystem::create_directories(dir);
    tovtest::writeBytes(dir / "tovtest.png", "png");
    return tovtest::u16(dir / "tovtest.png");
  }

  tovtest::TempDir first{"icons1"};
  tovtest::TempDir second{"icons2"};
};

TEST_F(WindowIcon, AGroupIsEveryInstalledSizeInItsOrderFirstDirectoryFirst) {
  const std::u16string big = install(second, 32);
  const std::u16string small = install(first, 16);
  install(second, 16);  // hidden behind the first directory's
  EXPECT_EQ(IconResources::files(u"A_TEST"), (Files{small, big}));
  EXPECT_EQ(IconResources::files(u"a_test"), (Files{small, big}));  // names ignore case
  EXPECT_TRUE(IconResources::files(u"A_OTHER").empty());
}

TEST_F(WindowIcon, AWindowGetsTheGroupByItselfOrByHandle) {
  const std::u16string small = install(first, 16);
  SampleForm form;
  ASSERT_TRUE(asSetWindowResIconAll(form, u"A_TEST"));
  EXPECT_EQ(form.icon(), Files{small});
  form.setIcon(u"");
  ASSERT_TRUE(asSetWindowResIconAll(form.handle(), u"A_TEST"));
  EXPECT_EQ(form.icon(), Files{small});
  EXPECT_FALSE(asSetWindowResIconAll(form.txtName.handle(), u"A_TEST"));
  EXPECT_FALSE(asSetWindowResIconAll(Handle{0}, u"A_TEST"));
}

// A picture that is not installed must not stop a window from opening.
TEST_F(WindowIcon, AMissingGroupLeavesTheIconAsItWas) {
  SampleForm form;
  form.setIcon(u"/old/icon.png");
  EXPECT_FALSE(asSetWindowResIconAll(form, u"A_TEST"));     // declared, nothing installed
  EXPECT_FALSE(asSetWindowResIconAll(form, u"A_UNKNOWN"));  // never declared
  EXPECT_EQ(form.icon(), Files{u"/old/icon.png"});
}

TEST_F(WindowIcon, TheApplicationsHiddenWindowCarriesTheApplicationIcon) {
  const std::u16string big = install(first, 32);
  const Handle main = asGetThunderMainHandle();
  EXPECT_EQ(main, asGetThunderMainHandle());
  Form* window = HandleTable::form(main);
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(window->isApplicationWindow());
  EXPECT_FALSE(window->isVisible());
  ASSERT_TRUE(asSetWindowResIconAll(main, u"A_TEST"));
  EXPECT_EQ(ApplicationWindow::instance().icon(), Files{big});
  SampleForm other;
  EXPECT_FALSE(other.isApplicationWindow());
  EXPECT_TRUE(other.icon().empty());  // other windows keep their own
}

}  // namespace
