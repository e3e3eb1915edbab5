#pragma once
// The standard picture of an icon image, as the object model hands pictures
// to clients: the frame's PictureObject here, the system's own picture
// object on Windows (where clients draw it with the system). An empty image
// gives a picture of no type.
//
//   ComPtr<Dispatch> picture = iconPicture(tov::asLoadResIcon(u""));  // Type 3
#include "automation/ComPtr.h"
#include "support/IconImage.h"

namespace tov::automation {

ComPtr<Dispatch> iconPicture(tov::IconImage image);

}  // namespace tov::automation
