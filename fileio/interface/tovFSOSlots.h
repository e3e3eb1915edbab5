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

using GetBytesFn = HResult (*)(Dispatch*, std::u16string_view FileName, VariantBool RaiseErrors, tov::ByteArray* result);
using GetTextFn = HResult (*)(Dispatch*, std::u16string_view FileName, VariantBool RaiseErrors, std::u16string* result);
using PutBytesFn = HResult (*)(Dispatch*, std::u16string_view FileName, tov::ByteArray* Data, VariantBool RaiseErrors,
                               VariantBool* result);
using PutTextFn = HResult (*)(Dispatch*, std::u16string_view FileName, std::u16string_view Data,
                              VariantBool RaiseErrors, VariantBool* result);
using PutUnicodeFn = HResult (*)(Dispatch*, std::u16string_view FileName, std::u16string_view Data,
                                 VariantBool RaiseErrors, VariantBool WriteUnicodeHeader, VariantBool InvertBytes,
                                 VariantBool* result);
using OverwriteUnicodeFn = HResult (*)(Dispatch*, std::u16string_view FileName, std::u16string_view Data,
                                       VariantBool RaiseErrors, VariantBool InvertBytes, VariantBool* result);

template <typename Fn>
Fn slot(Dispatch* fso, int member) {
  return tov::automation::slotOf<Fn>(fso, tov::automation::slots::member(member));
}

inline HResult PutFile(Dispatch* fso, std::u16string_view FileName, std::u16string_view Data, VariantBool RaiseErrors,
                       VariantBool* result) {
  return slot<PutTextFn>(fso, kPutFile)(fso, FileName, Data, RaiseErrors, result);
}

inline HResult PutFileW(Dispatch* fso, std::u16string_view FileName, std::u16string_view Data, VariantBool RaiseErrors,
                        VariantBool WriteUnicodeHeader, VariantBool InvertBytes, VariantBool* result) {
  return slot<PutUnicodeFn>(fso, kPutFileW)(fso, FileName, Data, RaiseErrors, WriteUnicodeHeader, InvertBytes,
                                            result);
}

inline HResult GetFile(Dispatch* fso, std::u16string_view FileName, VariantBool RaiseErrors, std::u16string* result) {
  return slot<GetTextFn>(fso, kGetFile)(fso, FileName, RaiseErrors, result);
}

}  // namespace ferrule::tovFSOSlots
