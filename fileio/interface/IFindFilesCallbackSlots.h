#pragma once
// Early binding to _IFindFilesCallback, the interface a client implements
// to follow a search of tovFoundedFiles: its slot and function type, for a
// C++ client that serves it through a slot table (as a library's own
// objects do) and for a caller that calls it by slot.
//
//   DirectoryCompleted(Path As String, ByRef Cancel As Boolean)
//     Called once for each level whose enumeration ran to its end, with
//     that level's Path argument. Cancel arrives False; leaving it True
//     stops the whole search.
//
// An object that answers kIid_IFindFilesCallback is called through this
// slot; any other object is called by name through Invoke.
#include <string_view>

#include "automation/Interfaces.h"
#include "automation/SlotBinding.h"
#include "fileio/interface/Ferrule0101Ids.h"

namespace ferrule::IFindFilesCallbackSlots {

using tov::automation::Dispatch;
using tov::automation::HResult;
using tov::automation::VariantBool;

// The member's number in the interface, counted from the first slot after
// the seven dispatch slots.
inline constexpr int kDirectoryCompleted = 1;

// The wire types as the slot binding defines them, so the table of a
// client built for the platform's own component model matches too.
using String = tov::automation::WireOf<std::u16string_view>;
using BoolRef = tov::automation::WireOf<VariantBool*>;

using DirectoryCompletedFn = HResult(TOV_SLOTCALL*)(Dispatch*, String Path, BoolRef Cancel);

inline HResult DirectoryCompleted(Dispatch* callback, String Path, BoolRef Cancel) {
  return tov::automation::slotOf<DirectoryCompletedFn>(
      callback, tov::automation::slots::member(kDirectoryCompleted))(callback, Path, Cancel);
}

}  // namespace ferrule::IFindFilesCallbackSlots
