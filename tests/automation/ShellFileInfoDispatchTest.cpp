// tovShellFileInfo as a late-bound client meets it: no objects before a
// read, one object per icon and per program kind until the next read, one
// picture per icon, objects that outlive the info object, Longs as the
// interface declares them.
#include <gtest/gtest.h>

#include <filesystem>

#include "ScopedEnv.h"
#include "TempDir.h"
#include "automation/DispatchClient.h"
#include "automation/PictureObject.h"
#include "fileio/dispatch/tovShellFileInfoDispatch.h"
#include "platform/DesktopModule.h"
#include "platform/SystemImageList.h"

namespace tovtest {
namespace {

using namespace tov::automation;

struct Obj {
  DispatchClient client;
  explicit Obj(ComPtr<Dispatch> p) : client(std::move(p)) {}
  Variant get(std::u16string_view member, std::vector<Variant> args = {}) const {
    Variant r;
    EXPECT_EQ(client.call(member, args, {}, &r, nullptr), kSOk) << std::string(member.begin(), member.end());
    return r;
  }
  Dispatch* object(std::u16string_view member) const { return get(member).dispatchValue(); }
};

const std::u16string_view kIcons[] = {u"Icon",         u"SmallIcon",         u"LinkOverlayIcon",
                                      u"LinkOverlaySmallIcon", u"OpenIcon",  u"OpenSmallIcon",
                                      u"SelectedIcon", u"SelectedSmallIcon", u"ShellSizeIcon"};

class ShellFileInfoDispatch : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!tov::platform::DesktopModule::instance()) {
      GTEST_SKIP() << "no desktop module: " << tov::platform::DesktopModule::problem();
    }
  }
  std::u16string make(const std::string& name) {
    writeBytes(dir / name, "text\n");
    return u16(dir / name);
  }
  ScopedEnv language{"LANGUAGE", "C"};
  TempDir dir{"shelldispatch"};
  Obj info{makeDispatch<ferrule::tovShellFileInfoDispatch>()};
};

TEST_F(ShellFileInfoDispatch, NothingBeforeARead) {
  for (auto member : kIcons) EXPECT_EQ(info.object(member), nullptr);
  EXPECT_EQ(info.object(u"EXEType"), nullptr);
  EXPECT_EQ(info.get(u"hSystemImageList").longValue(), 0);
  EXPECT_EQ(info.get(u"ReadFile", {Variant::fromString(make("a.txt") + u".missing")}).boolValue(), VariantBool::False);
  EXPECT_EQ(info.object(u"Icon"), nullptr);
}

TEST_F(ShellFileInfoDispatch, OneObjectPerReadAndOnePicturePerIcon) {
  ASSERT_EQ(info.get(u"ReadFile", {Variant::fromString(make("a.txt"))}).boolValue(), VariantBool::True);
  EXPECT_EQ(info.get(u"TypeName").stringValue(), u"plain text document");
  EXPECT_EQ(static_cast<std::uint32_t>(info.get(u"hSystemImageList").longValue()),
            tov::platform::SystemImageList::handle(false));
  for (auto member : kIcons) {
    const ComPtr<Dispatch> icon(info.object(member));
    ASSERT_TRUE(icon);
    EXPECT_EQ(info.object(member), icon.get()) << std::string(member.begin(), member.end());
    const Obj shellIcon(icon);
    const ComPtr<Dispatch> picture(shellIcon.object(u"Icon"));
    EXPECT_EQ(shellIcon.object(u"Icon"), picture.get());
    const Obj pic(picture);
    EXPECT_EQ(pic.get(u"Type").integerValue(), 3);
    const bool small = std::u16string_view(member).find(u"Small") != std::u16string_view::npos;
    EXPECT_EQ(pic.get(u"Width").longValue(), himetricFromPixels(small ? 16 : 32));
  }
  const ComPtr<Dispatch> exe(info.object(u"EXEType"));
  EXPECT_EQ(info.object(u"EXEType"), exe.get());
  EXPECT_EQ(Obj(exe).get(u"Signature").stringValue(), u"");

  const ComPtr<Dispatch> before(info.object(u"Icon"));
  ASSERT_EQ(info.get(u"ReadFile", {Variant::fromString(make("b.txt"))}).boolValue(), VariantBool::True);
  EXPECT_NE(info.object(u"Icon"), before.get());
  EXPECT_NE(info.object(u"EXEType"), exe.get());
}

TEST_F(ShellFileInfoDispatch, HandedOutObjectsOutliveTheInfoObject) {
  std::filesystem::create_directories(dir / "folder" / "sub");
  ComPtr<Dispatch> icon, exe;
  {
    Obj owner(makeDispatch<ferrule::tovShellFileInfoDispatch>());
    ASSERT_EQ(owner.get(u"ReadFile", {Variant::fromString(u16(dir / "folder"))}).boolValue(), VariantBool::True);
    // A folder with subfolders has the attribute's top bit: a negative Long.
    EXPECT_LT(owner.get(u"Attributes").longValue(), 0);
    icon = ComPtr<Dispatch>(owner.object(u"OpenSmallIcon"));
    exe = ComPtr<Dispatch>(owner.object(u"EXEType"));
  }
  EXPECT_EQ(Obj(exe).get(u"OSVersionMajor").longValue(), 0);
  const Obj kept(icon);
  EXPECT_GE(kept.get(u"Index").longValue(), -1);
  const Obj picture(ComPtr<Dispatch>(kept.object(u"Icon")));
  EXPECT_EQ(picture.get(u"Height").longValue(), himetricFromPixels(16));
  EXPECT_FALSE(picture.get(u"PngBytes").bytesValue().empty());
}

}  // namespace
}  // namespace tovtest
