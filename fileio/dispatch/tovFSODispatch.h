#pragma once
// tovFSO as clients see it: the _tovFSO dispatch interface over the core
// class. Each member converts the automation types and calls the core; the
// error the core raises travels to the client unchanged.
#include <cstdint>
#include <string>
#include <string_view>

#include "automation/DispatchObject.h"
#include "fileio/tovFSO.h"

namespace ferrule {

class tovFSODispatch : public tov::automation::DispatchObject {
 public:
  using Dispatch = tov::automation::Dispatch;
  using VariantBool = tov::automation::VariantBool;

  tovFSODispatch();
  static tov::automation::HResult create(const tov::automation::Guid& iid, void** out);
  static const tov::automation::InterfaceBinding& interfaceBinding();

  tov::ByteArray GetFileB(std::u16string_view FileName, VariantBool RaiseErrors);
  std::u16string GetFile(std::u16string_view FileName, VariantBool RaiseErrors);
  std::u16string GetFileW(std::u16string_view FileName, VariantBool RaiseErrors);
  VariantBool PutFileB(std::u16string_view FileName, tov::ByteArray* Data, VariantBool RaiseErrors);
  VariantBool PutFile(std::u16string_view FileName, std::u16string_view Data, VariantBool RaiseErrors);
  VariantBool PutFileW(std::u16string_view FileName, std::u16string_view Data, VariantBool RaiseErrors,
                       VariantBool WriteUnicodeHeader, VariantBool InvertBytes);
  VariantBool AppendFileB(std::u16string_view FileName, tov::ByteArray* Data, VariantBool RaiseErrors);
  VariantBool AppendFile(std::u16string_view FileName, std::u16string_view Data, VariantBool RaiseErrors);
  VariantBool AppendFileW(std::u16string_view FileName, std::u16string_view Data, VariantBool RaiseErrors,
                          VariantBool WriteUnicodeHeader, VariantBool InvertBytes);
  VariantBool OverwriteFileB(std::u16string_view FileName, tov::ByteArray* Data, VariantBool RaiseErrors);
  VariantBool OverwriteFile(std::u16string_view FileName, std::u16string_view Data, VariantBool RaiseErrors);
  VariantBool OverwriteFileW(std::u16string_view FileName, std::u16string_view Data, VariantBool RaiseErrors,
                             VariantBool InvertBytes);

  std::int32_t GetFileZone(std::u16string_view FileName);
  VariantBool SetFileZone(std::u16string_view FileName, std::int32_t FileZone);
  VariantBool IsFileZoneDefined(std::u16string_view FileName);
  VariantBool DeleteFileZone(std::u16string_view FileName);
  std::u16string GetFileDescription(std::u16string_view FileName);
  VariantBool SetFileDescription(std::u16string_view FileName, std::u16string_view DescriptionText);
  tov::automation::ComPtr<Dispatch> ReadStandardListFile(std::u16string_view FileName, std::u16string_view CommentChar,
                                                         VariantBool IgnoreBlanks, VariantBool TrimStrings,
                                                         VariantBool IsOem, VariantBool RaiseErrors);
  VariantBool DeleteFileDescription(std::u16string_view FileName);
  VariantBool SetFileCompression(std::u16string_view FileName, std::int32_t CompressionFormat,
                                 std::int32_t* lpErrorCode);
  std::int32_t GetFileCompression(std::u16string_view FileName, std::int32_t* lpErrorCode);

 private:
  const tov::ByteArray& bytesArgument(const tov::ByteArray* data) const;

  tovFSO core_;
};

}  // namespace ferrule
