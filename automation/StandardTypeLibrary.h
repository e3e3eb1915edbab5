#pragma once
// The type information of the standard automation types the frame serves
// itself: the picture object through which libraries hand out icons.
#include "automation/TypeDescription.h"

namespace tov::automation {

// The standard library's and the picture interface's well-known identifiers.
inline constexpr Guid kStandardLibId = makeGuid("00020430-0000-0000-C000-000000000046");
inline constexpr Guid kIidPictureDisp = makeGuid("7BF80981-BF32-101A-8BBB-00AA00300CAB");

// The picture interface's standard dispatch identifiers.
inline constexpr DispId kDispIdPictureHandle = 0;
inline constexpr DispId kDispIdPictureHPal = 2;
inline constexpr DispId kDispIdPictureType = 3;
inline constexpr DispId kDispIdPictureWidth = 4;
inline constexpr DispId kDispIdPictureHeight = 5;

const TypeLibraryDescription& standardTypeLibrary();

}  // namespace tov::automation
