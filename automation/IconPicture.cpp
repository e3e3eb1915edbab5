#include "automation/IconPicture.h"

#include "automation/PictureObject.h"

namespace tov::automation {

ComPtr<Dispatch> iconPicture(tov::IconImage image) { return PictureObject::create(std::move(image)); }

}  // namespace tov::automation
