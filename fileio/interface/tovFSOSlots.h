#pragma once
// Early binding to _tovFSO: the slot numbers and function types of its
// whole-file members, for clients that call through the table as the
// converter does (create once, keep, call PutFile and PutFileW by slot).
//
//   ComPtr<Dispatch> fso;
//   CoCreateInstance(kClsid_tovFSO, nullptr, kIid_tovFSO, fso.putVoid());
//   VariantBool ok;
//   HResult hr = tovFSOSlots::PutFile(fso.get(), name, text, VariantBool::True, &ok);
//   if (failed(hr)) report(errorOfFailedCall(fso.get(), hr).record);
#include <cstdint>
#include <string>
#include <string_view>

#include "automation/Interfaces.h"
#include "automation/SlotBinding.h"
#include "support/ByteArray.h"

namespace ferrule::tovFSOSlots {

using tov::automation::Dispatch;
using tov::automation::HResult;
using tov::automation::VariantBool;

// Members by their number in the interface, counted from the first slot
// after the seven dispatch slots.
inline constexpr int kGetFileB = 1;
inline constexpr int kGetFile = 2;
inline constexpr int kGetFileW = 3;
inline constexpr int kPutFileB = 4;
inline constexpr int kPutFile = 5;
inline constexpr int kPutFileW = 6;
inline constexpr int kAppendFileB = 7;
inline constexpr int kAppendFile = 8;
inline constexpr int kAppendFileW = 9;
inline constexpr int kOverwriteFileB = 10;
inline constexpr int kOverwriteFile = 11;
inline constexpr int kOverwriteFileW = 12;

// The wire types as the slot binding defines them (in this build the
// member types themselves: u16string_view, VariantBool, ByteArray*).
using String = tov::automation::WireOf<std::u16string_view>;
using Bool = tov::automation::WireOf<VariantBool>;
using BytesRef = tov::automation::WireOf<tov::ByteArray*>;
using StringResult = tov::automation::WireResultOf<std::u16string>;
using BoolResult = tov::automation::WireResultOf<VariantBool>;
using BytesResult = tov::automation::WireResultOf<tov::ByteArray>;

using GetBytesFn = HResult(TOV_SLOTCALL*)(Dispatch*, String FileName, Bool RaiseErrors, BytesResult* result);
using GetTextFn = HResult(TOV_SLOTCALL*)(Dispatch*, String FileName, Bool RaiseErrors, StringResult* result);
using PutBytesFn = HResult(TOV_SLOTCALL*)(Dispatch*, String FileName, BytesRef Data, Bool RaiseErrors,
                                          BoolResult* result);
using PutTextFn = HResult(TOV_SLOTCALL*)(Dispatch*, String FileName, String Data, Bool RaiseErrors,
                                         BoolResult* result);
using PutUnicodeFn = HResult(TOV_SLOTCALL*)(Dispatch*, String FileName, String Data, Bool RaiseErrors,
                                            Bool WriteUnicodeHeader, Bool InvertBytes, BoolResult* result);
using OverwriteUnicodeFn = HResult(TOV_SLOTCALL*)(Dispatch*, String FileName, String Data, Bool RaiseErrors,
                                                  Bool InvertBytes, BoolResult* result);

template <typename Fn>
Fn slot(Dispatch* fso, int member) {
  return tov::automation::slotOf<Fn>(fso, tov::automation::slots::member(member));
}

inline HResult PutFile(Dispatch* fso, String FileName, String Data, Bool RaiseErrors, BoolResult* result) {
  return slot<PutTextFn>(fso, kPutFile)(fso, FileName, Data, RaiseErrors, result);
}

inline HResult PutFileW(Dispatch* fso, String FileName, String Data, Bool RaiseErrors, Bool WriteUnicodeHeader,
                        Bool InvertBytes, BoolResult* result) {
  return slot<PutUnicodeFn>(fso, kPutFileW)(fso, FileName, Data, RaiseErrors, WriteUnicodeHeader, InvertBytes,
                                            result);
}

inline HResult GetFile(Dispatch* fso, String FileName, Bool RaiseErrors, StringResult* result) {
  return slot<GetTextFn>(fso, kGetFile)(fso, FileName, RaiseErrors, result);
}

}  // namespace ferrule::tovFSOSlots
