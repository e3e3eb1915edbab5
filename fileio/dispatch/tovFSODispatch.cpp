#include "fileio/dispatch/tovFSODispatch.h"

#include <type_traits>

#include "automation/Collection.h"
#include "automation/SlotBinding.h"
#include "fileio/dispatch/TypeLibrary.h"
#include "fileio/interface/tovFSOSlots.h"

namespace ferrule {
namespace {

using namespace tov::automation;

constexpr bool yes(VariantBool b) { return isTrue(b); }
constexpr VariantBool result(bool b) { return toVariantBool(b); }

// The early-binding header and the table agree on every whole-file slot.
static_assert(std::is_same_v<SlotFunction<&tovFSODispatch::GetFileB>, tovFSOSlots::GetBytesFn>);
static_assert(std::is_same_v<SlotFunction<&tovFSODispatch::GetFile>, tovFSOSlots::GetTextFn>);
static_assert(std::is_same_v<SlotFunction<&tovFSODispatch::GetFileW>, tovFSOSlots::GetTextFn>);
static_assert(std::is_same_v<SlotFunction<&tovFSODispatch::PutFileB>, tovFSOSlots::PutBytesFn>);
static_assert(std::is_same_v<SlotFunction<&tovFSODispatch::PutFile>, tovFSOSlots::PutTextFn>);
static_assert(std::is_same_v<SlotFunction<&tovFSODispatch::PutFileW>, tovFSOSlots::PutUnicodeFn>);
static_assert(std::is_same_v<SlotFunction<&tovFSODispatch::AppendFileB>, tovFSOSlots::PutBytesFn>);
static_assert(std::is_same_v<SlotFunction<&tovFSODispatch::AppendFile>, tovFSOSlots::PutTextFn>);
static_assert(std::is_same_v<SlotFunction<&tovFSODispatch::AppendFileW>, tovFSOSlots::PutUnicodeFn>);
static_assert(std::is_same_v<SlotFunction<&tovFSODispatch::OverwriteFileB>, tovFSOSlots::PutBytesFn>);
static_assert(std::is_same_v<SlotFunction<&tovFSODispatch::OverwriteFile>, tovFSOSlots::PutTextFn>);
static_assert(std::is_same_v<SlotFunction<&tovFSODispatch::OverwriteFileW>, tovFSOSlots::OverwriteUnicodeFn>);

}  // namespace

const InterfaceBinding& tovFSODispatch::interfaceBinding() {
  using T = tovFSODispatch;
  static const InterfaceBinding binding(
      typeLibrary(), u"_tovFSO",
      {bindSlot<&T::GetFileB>(),           bindSlot<&T::GetFile>(),           bindSlot<&T::GetFileW>(),
       bindSlot<&T::PutFileB>(),           bindSlot<&T::PutFile>(),           bindSlot<&T::PutFileW>(),
       bindSlot<&T::AppendFileB>(),        bindSlot<&T::AppendFile>(),        bindSlot<&T::AppendFileW>(),
       bindSlot<&T::OverwriteFileB>(),     bindSlot<&T::OverwriteFile>(),     bindSlot<&T::OverwriteFileW>(),
       bindSlot<&T::GetFileZone>(),        bindSlot<&T::SetFileZone>(),       bindSlot<&T::IsFileZoneDefined>(),
       bindSlot<&T::DeleteFileZone>(),     bindSlot<&T::GetFileDescription>(), bindSlot<&T::SetFileDescription>(),
       bindSlot<&T::ReadStandardListFile>(), bindSlot<&T::DeleteFileDescription>(),
       bindSlot<&T::SetFileCompression>(), bindSlot<&T::GetFileCompression>()});
  return binding;
}

tovFSODispatch::tovFSODispatch() : DispatchObject(interfaceBinding(), kFsoSource) {}

HResult tovFSODispatch::create(const Guid& iid, void** out) { return createObject<tovFSODispatch>(iid, out); }

// An early-bound caller may pass no array at all; that is a bad argument,
// not a crash.
const tov::ByteArray& tovFSODispatch::bytesArgument(const tov::ByteArray* data) const {
  if (!data) raise(tov::errors::kInvalidProcedureCall);
  return *data;
}

tov::ByteArray tovFSODispatch::GetFileB(std::u16string_view FileName, VariantBool RaiseErrors) {
  return core_.GetFileB(FileName, yes(RaiseErrors));
}
std::u16string tovFSODispatch::GetFile(std::u16string_view FileName, VariantBool RaiseErrors) {
  return core_.GetFile(FileName, yes(RaiseErrors));
}
std::u16string tovFSODispatch::GetFileW(std::u16string_view FileName, VariantBool RaiseErrors) {
  return core_.GetFileW(FileName, yes(RaiseErrors));
}

VariantBool tovFSODispatch::PutFileB(std::u16string_view FileName, tov::ByteArray* Data, VariantBool RaiseErrors) {
  return result(core_.PutFileB(FileName, bytesArgument(Data), yes(RaiseErrors)));
}
VariantBool tovFSODispatch::PutFile(std::u16string_view FileName, std::u16string_view Data, VariantBool RaiseErrors) {
  return result(core_.PutFile(FileName, Data, yes(RaiseErrors)));
}
VariantBool tovFSODispatch::PutFileW(std::u16string_view FileName, std::u16string_view Data, VariantBool RaiseErrors,
                                     VariantBool WriteUnicodeHeader, VariantBool InvertBytes) {
  return result(core_.PutFileW(FileName, Data, yes(RaiseErrors), yes(WriteUnicodeHeader), yes(InvertBytes)));
}

VariantBool tovFSODispatch::AppendFileB(std::u16string_view FileName, tov::ByteArray* Data, VariantBool RaiseErrors) {
  return result(core_.AppendFileB(FileName, bytesArgument(Data), yes(RaiseErrors)));
}
VariantBool tovFSODispatch::AppendFile(std::u16string_view FileName, std::u16string_view Data,
                                       VariantBool RaiseErrors) {
  return result(core_.AppendFile(FileName, Data, yes(RaiseErrors)));
}
VariantBool tovFSODispatch::AppendFileW(std::u16string_view FileName, std::u16string_view Data,
                                        VariantBool RaiseErrors, VariantBool WriteUnicodeHeader,
                                        VariantBool InvertBytes) {
  return result(core_.AppendFileW(FileName, Data, yes(RaiseErrors), yes(WriteUnicodeHeader), yes(InvertBytes)));
}

VariantBool tovFSODispatch::OverwriteFileB(std::u16string_view FileName, tov::ByteArray* Data,
                                           VariantBool RaiseErrors) {
  return result(core_.OverwriteFileB(FileName, bytesArgument(Data), yes(RaiseErrors)));
}
VariantBool tovFSODispatch::OverwriteFile(std::u16string_view FileName, std::u16string_view Data,
                                          VariantBool RaiseErrors) {
  return result(core_.OverwriteFile(FileName, Data, yes(RaiseErrors)));
}
VariantBool tovFSODispatch::OverwriteFileW(std::u16string_view FileName, std::u16string_view Data,
                                           VariantBool RaiseErrors, VariantBool InvertBytes) {
  return result(core_.OverwriteFileW(FileName, Data, yes(RaiseErrors), yes(InvertBytes)));
}

std::int32_t tovFSODispatch::GetFileZone(std::u16string_view FileName) { return core_.GetFileZone(FileName); }
VariantBool tovFSODispatch::SetFileZone(std::u16string_view FileName, std::int32_t FileZone) {
  return result(core_.SetFileZone(FileName, FileZone));
}
VariantBool tovFSODispatch::IsFileZoneDefined(std::u16string_view FileName) {
  return result(core_.IsFileZoneDefined(FileName));
}
VariantBool tovFSODispatch::DeleteFileZone(std::u16string_view FileName) {
  return result(core_.DeleteFileZone(FileName));
}
std::u16string tovFSODispatch::GetFileDescription(std::u16string_view FileName) {
  return core_.GetFileDescription(FileName);
}
VariantBool tovFSODispatch::SetFileDescription(std::u16string_view FileName, std::u16string_view DescriptionText) {
  return result(core_.SetFileDescription(FileName, DescriptionText));
}
// The runtime's own Collection, numbered from 1, each item under the text
// of its number; no object when reading failed without RaiseErrors.
ComPtr<Dispatch> tovFSODispatch::ReadStandardListFile(std::u16string_view FileName, std::u16string_view CommentChar,
                                                      VariantBool IgnoreBlanks, VariantBool TrimStrings,
                                                      VariantBool IsOem, VariantBool RaiseErrors) {
  auto items = core_.ReadStandardListFile(FileName, CommentChar, yes(IgnoreBlanks), yes(TrimStrings), yes(IsOem),
                                          yes(RaiseErrors));
  if (!items) return {};
  ComPtr<Dispatch> list = Collection::create(kLibrarySource);
  Collection* collection = objectOf<Collection>(list.get());
  for (ListFileItem& item : *items) collection->append(Variant::fromString(std::move(item.text)), item.key);
  return list;
}
VariantBool tovFSODispatch::DeleteFileDescription(std::u16string_view FileName) {
  return result(core_.DeleteFileDescription(FileName));
}
VariantBool tovFSODispatch::SetFileCompression(std::u16string_view FileName, std::int32_t CompressionFormat,
                                               std::int32_t* lpErrorCode) {
  return result(core_.SetFileCompression(FileName, CompressionFormat, lpErrorCode));
}
std::int32_t tovFSODispatch::GetFileCompression(std::u16string_view FileName, std::int32_t* lpErrorCode) {
  return core_.GetFileCompression(FileName, lpErrorCode);
}

}  // namespace ferrule
