#include "automation/StandardTypeLibrary.h"

namespace tov::automation {
namespace {

MemberDescription property(int slot, std::u16string_view name, DispId id, TypeKind type, std::u16string_view help,
                           std::uint32_t flags = 0) {
  return {slot, name, id, MemberKind::PropertyGet, {}, {type, {}}, help, flags};
}

// The standard members keep their standard identifiers; the two members
// that hand the image out belong to this frame and come after them.
InterfaceDescription pictureInterface() {
  InterfaceDescription i{u"Picture", kIidPictureDisp, kInterfaceOleAutomation, {}, {}};
  i.members = {
      property(1, u"Handle", kDispIdPictureHandle, TypeKind::Long, u"A number that stands for the image.",
               kMemberDefault),
      property(2, u"hPal", kDispIdPictureHPal, TypeKind::Long, u"The palette: 0, icons have none."),
      property(3, u"Type", kDispIdPictureType, TypeKind::Integer, u"3 for an icon, 0 for no picture."),
      property(4, u"Width", kDispIdPictureWidth, TypeKind::Long, u"Width in hundredths of a millimetre."),
      property(5, u"Height", kDispIdPictureHeight, TypeKind::Long, u"Height in hundredths of a millimetre."),
      property(6, u"PngBytes", kMemberDispIdBase + 6, TypeKind::ByteArray, u"The image as a PNG file."),
      property(7, u"IcoBytes", kMemberDispIdBase + 7, TypeKind::ByteArray, u"The image as an icon (.ico) file."),
  };
  return i;
}

TypeLibraryDescription build() {
  TypeLibraryDescription lib;
  lib.name = u"stdole";
  lib.libid = kStandardLibId;
  lib.majorVersion = 2;
  lib.minorVersion = 0;
  lib.lcid = 0;
  lib.help = u"Standard automation types";
  lib.interfaces.push_back(pictureInterface());
  return lib;
}

}  // namespace

const TypeLibraryDescription& standardTypeLibrary() {
  static const TypeLibraryDescription lib = build();
  return lib;
}

}  // namespace tov::automation
