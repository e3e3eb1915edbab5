#pragma once
// The type information of the frame's own runtime classes: the Collection
// that libraries hand to their clients and keep their lists in.
#include "automation/TypeDescription.h"

namespace tov::automation {

inline constexpr Guid kRuntimeLibId = makeGuid("7669C046-7087-448B-B92F-0E782E99FEB2");
inline constexpr Guid kIidCollection = makeGuid("01A274D3-9CE8-4397-9B3C-8EDF25042649");
inline constexpr Guid kClsidCollection = makeGuid("073FAB3A-866A-41D1-B5DF-B2E4BC34B4D1");

const TypeLibraryDescription& runtimeTypeLibrary();

}  // namespace tov::automation
