#include "automation/PictureObject.h"

#include <atomic>

#include "automation/StandardTypeLibrary.h"
#include "support/IconFormats.h"

namespace tov::automation {
namespace {

const InterfaceBinding& pictureBinding() {
  using T = PictureObject;
  static const InterfaceBinding binding(standardTypeLibrary(), u"Picture",
                                        {bindSlot<&T::Handle>(), bindSlot<&T::hPal>(), bindSlot<&T::Type>(),
                                         bindSlot<&T::Width>(), bindSlot<&T::Height>(), bindSlot<&T::PngBytes>(),
                                         bindSlot<&T::IcoBytes>()});
  return binding;
}

// Handles are numbers, as on a 32-bit system; 0 stays "no picture".
std::int32_t nextHandle() {
  static std::atomic<std::uint32_t> last{0};
  std::uint32_t h = ++last;
  if (h == 0) h = ++last;
  return static_cast<std::int32_t>(h);
}

}  // namespace

PictureObject::PictureObject(tov::IconImage image)
    : DispatchObject(pictureBinding(), u"Picture"), image_(std::move(image)), handle_(image_.empty() ? 0 : nextHandle()) {}

ComPtr<Dispatch> PictureObject::create(tov::IconImage image) { return makeDispatch<PictureObject>(std::move(image)); }

std::int32_t PictureObject::Width() const { return himetricFromPixels(image_.width()); }

std::int32_t PictureObject::Height() const { return himetricFromPixels(image_.height()); }

tov::ByteArray PictureObject::PngBytes() const {
  if (image_.empty()) raise(errors::kInvalidPicture);
  return tov::ByteArray(tov::encodePng(image_));
}

tov::ByteArray PictureObject::IcoBytes() const {
  if (image_.empty() || image_.width() > 256 || image_.height() > 256) raise(errors::kInvalidPicture);
  return tov::ByteArray(tov::encodeIco(image_));
}

}  // namespace tov::automation
