#pragma once
// The standard picture object over an icon image: Handle, hPal, Type (3 for
// an icon), Width and Height in HIMETRIC (hundredths of a millimetre, at 96
// pixels to the inch), answering the standard picture interface's
// identifier; and, for clients on this platform where no window system
// draws it, the image as PNG or .ico bytes (PngBytes, IcoBytes).
//
//   ComPtr<Dispatch> picture = PictureObject::create(tov::asLoadResIcon(u""));
#include <cstdint>

#include "automation/DispatchObject.h"
#include "support/ByteArray.h"
#include "support/IconImage.h"

namespace tov::automation {

class PictureObject : public DispatchObject {
 public:
  static constexpr std::int16_t kTypeNone = 0;
  static constexpr std::int16_t kTypeIcon = 3;

  // An empty image gives a picture of no type.
  explicit PictureObject(tov::IconImage image);
  static ComPtr<Dispatch> create(tov::IconImage image);

  const tov::IconImage& image() const { return image_; }

  // Not 0 for an icon and different for every picture alive; 0 for none.
  std::int32_t Handle() const { return handle_; }
  std::int32_t hPal() const { return 0; }
  std::int16_t Type() const { return image_.empty() ? kTypeNone : kTypeIcon; }
  std::int32_t Width() const;
  std::int32_t Height() const;
  // Error 481 for a picture of no type; IcoBytes also for a side above 256.
  tov::ByteArray PngBytes() const;
  tov::ByteArray IcoBytes() const;

 private:
  tov::IconImage image_;
  std::int32_t handle_;
};

// HIMETRIC units of `pixels` at 96 pixels to the inch, rounded.
constexpr std::int32_t himetricFromPixels(std::int32_t pixels) { return (pixels * 2540 + 48) / 96; }

}  // namespace tov::automation
