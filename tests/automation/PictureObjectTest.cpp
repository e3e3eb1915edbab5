// The standard picture object over an icon image, as clients of the
// standard picture interface and scripts that save the image meet it.
#include <gtest/gtest.h>

#include "automation/DispatchClient.h"
#include "automation/ModuleUsage.h"
#include "automation/PictureObject.h"
#include "automation/StandardTypeLibrary.h"
#include "support/IconFormats.h"
#include "support/IconFunctions.h"

namespace tovtest {
namespace {

using namespace tov::automation;

Variant byId(const ComPtr<Dispatch>& p, DispId id) {
  Variant r;
  EXPECT_EQ(DispatchClient(p).invoke(id, kDispatchPropertyGet, {}, {}, {}, &r, nullptr), kSOk) << id;
  return r;
}

tov::IconImage image(int w, int h) {
  tov::IconImage i(w, h);
  i.setPixel(w - 1, h - 1, {200, 100, 50, 255});
  return i;
}

TEST(Pictures, AnswerTheStandardInterfaceWithItsStandardIdentifiers) {
  const auto before = ModuleUsage::objects();
  {
    ComPtr<Dispatch> p = PictureObject::create(image(16, 32));
    const Variant type = byId(p, kDispIdPictureType);
    EXPECT_EQ(type.type(), VarType::Integer);
    EXPECT_EQ(type.integerValue(), 3);
    EXPECT_EQ(byId(p, kDispIdPictureWidth).longValue(), 423);  // 16 px at 96 dpi: 4.23 mm
    EXPECT_EQ(byId(p, kDispIdPictureHeight).longValue(), 847);
    EXPECT_EQ(byId(p, kDispIdPictureHPal).longValue(), 0);
    const std::int32_t handle = byId(p, kDispIdPictureHandle).longValue();
    EXPECT_NE(handle, 0);
    ComPtr<Dispatch> other = PictureObject::create(image(8, 8));
    EXPECT_NE(byId(other, kDispIdPictureHandle).longValue(), handle);
    EXPECT_EQ(byId(other, kDispIdPictureWidth).longValue(), 212);

    ComPtr<Unknown> asked;
    EXPECT_EQ(queryInterface(p.get(), kIidPictureDisp, asked.putVoid()), kSOk);
    EXPECT_EQ(queryInterface(p.get(), kIidDispatch, asked.putVoid()), kSOk);
    // The vtable picture interface is not served: its drawing needs a window system.
    EXPECT_EQ(queryInterface(p.get(), makeGuid("7BF80980-BF32-101A-8BBB-00AA00300CAB"), asked.putVoid()),
              kENoInterface);
    // Read-only, like every property here.
    const Variant zero[] = {Variant::fromLong(0)};
    EXPECT_EQ(DispatchClient(p).invoke(kDispIdPictureHPal, kDispatchPropertyPut, zero, {}, {}, nullptr, nullptr),
              kDispEMemberNotFound);
  }
  EXPECT_EQ(ModuleUsage::objects(), before);
}

TEST(Pictures, HandTheirImageOutAsPngAndIco) {
  const tov::IconImage icon = tov::asLoadResIcon(u"");
  ComPtr<Dispatch> p = PictureObject::create(icon);
  DispatchClient client(p);
  Variant png, ico;
  ASSERT_EQ(client.call(u"PngBytes", {}, {}, &png, nullptr), kSOk);
  EXPECT_TRUE(tov::decodePng(png.bytesValue().span()) == icon);
  ASSERT_EQ(client.call(u"icobytes", {}, {}, &ico, nullptr), kSOk);
  EXPECT_EQ(std::vector<int>(ico.bytesValue().data(), ico.bytesValue().data() + 8),
            (std::vector<int>{0, 0, 1, 0, 1, 0, 32, 32}));
  EXPECT_EQ(objectOf<PictureObject>(p.get())->image(), icon);

  // Too large for the icon format, still fine as PNG.
  ComPtr<Dispatch> big = PictureObject::create(tov::IconImage(512, 512));
  CallError e;
  EXPECT_EQ(DispatchClient(big).call(u"IcoBytes", {}, {}, nullptr, &e), 0x800A01E1u);
  EXPECT_EQ(e.record.source, u"Picture");
  EXPECT_EQ(DispatchClient(big).call(u"PngBytes", {}, {}, &png, nullptr), kSOk);
}

TEST(Pictures, WithoutAnImageHaveNoTypeNoHandleAndNoBytes) {
  ComPtr<Dispatch> p = PictureObject::create(tov::IconImage());
  EXPECT_EQ(byId(p, kDispIdPictureType).integerValue(), 0);
  EXPECT_EQ(byId(p, kDispIdPictureHandle).longValue(), 0);
  EXPECT_EQ(byId(p, kDispIdPictureWidth).longValue(), 0);
  CallError e;
  EXPECT_EQ(DispatchClient(p).call(u"PngBytes", {}, {}, nullptr, &e), 0x800A01E1u);
  EXPECT_EQ(e.record.number, 481);
  EXPECT_EQ(e.record.description, u"Invalid picture");
}

}  // namespace
}  // namespace tovtest
