// Pictures are the system's: OleCreatePictureIndirect over an icon made from
// the image, which the picture owns and destroys with itself.
#include <windows.h>
#include <ole2.h>
#include <olectl.h>

#include "automation/IconPicture.h"
#include "platform/IconHandles.h"
#include "platform/win32/HandleSlot.h"
#include "support/ErrorRecord.h"

namespace tov::automation {

ComPtr<Dispatch> iconPicture(tov::IconImage image) {
  PICTDESC description{};
  description.cbSizeofstruct = sizeof description;
  description.picType = PICTYPE_NONE;
  platform::IconHandle icon = 0;
  if (!image.empty()) {
    const auto rgba = image.rgba();
    icon = platform::CreateIconFromPixels({image.width(), image.height(), ByteVector(rgba.begin(), rgba.end())});
    if (icon == 0) raiseError(errors::kOutOfMemory);
    description.picType = PICTYPE_ICON;
    description.icon.hicon = platform::win32::handleFromValue<HICON>(icon);
  }
  IPictureDisp* picture = nullptr;
  if (FAILED(::OleCreatePictureIndirect(&description, IID_IPictureDisp, TRUE, reinterpret_cast<void**>(&picture)))) {
    platform::DestroyIcon(icon);
    raiseError(errors::kOutOfMemory);
  }
  // The picture's dispatch interface is laid out as the frame's.
  return ComPtr<Dispatch>::adopt(reinterpret_cast<Dispatch*>(static_cast<IDispatch*>(picture)));
}

}  // namespace tov::automation
