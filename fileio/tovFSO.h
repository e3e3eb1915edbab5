#pragma once
// The library's application object: whole-file reading and writing (bytes,
// ANSI text, Unicode text), and the file services built on it.
//
// Whole-file members take RaiseErrors: false turns a failure of the file
// work into the failure result, true passes the error on unchanged.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "fileio/modStandardListFileSupport.h"
#include "support/ByteArray.h"

namespace ferrule {

// Errors the library raises itself carry this source unless they name
// their class.
inline constexpr char16_t kLibrarySource[] = u"Ferrule0101";
inline constexpr char16_t kFsoSource[] = u"tovFSO";

enum FileZoneConst : std::int32_t {
  fzLocalMachine = 0,
  fzLocalIntranet = 1,
  fzSafeSites = 2,
  fzInternet = 3,
  fzRestrictedSites = 4,
};

enum CompressionFormatConst : std::int32_t {
  cfError = -1,
  cfNone = 0,
  cfDefault = 1,
  cfLZNT1 = 2,
};

class tovFSO {
 public:
  tov::ByteArray GetFileB(std::u16string_view FileName, bool RaiseErrors = false);
  std::u16string GetFile(std::u16string_view FileName, bool RaiseErrors = false);
  std::u16string GetFileW(std::u16string_view FileName, bool RaiseErrors = false);

  bool PutFileB(std::u16string_view FileName, const tov::ByteArray& Data, bool RaiseErrors = false);
  bool PutFile(std::u16string_view FileName, std::u16string_view Data, bool RaiseErrors = false);
  bool PutFileW(std::u16string_view FileName, std::u16string_view Data, bool RaiseErrors = false,
                bool WriteUnicodeHeader = true, bool InvertBytes = false);

  bool AppendFileB(std::u16string_view FileName, const tov::ByteArray& Data, bool RaiseErrors = false);
  bool AppendFile(std::u16string_view FileName, std::u16string_view Data, bool RaiseErrors = false);
  bool AppendFileW(std::u16string_view FileName, std::u16string_view Data, bool RaiseErrors = false,
                   bool WriteUnicodeHeader = true, bool InvertBytes = false);

  bool OverwriteFileB(std::u16string_view FileName, const tov::ByteArray& Data, bool RaiseErrors = false);
  bool OverwriteFile(std::u16string_view FileName, std::u16string_view Data, bool RaiseErrors = false);
  bool OverwriteFileW(std::u16string_view FileName, std::u16string_view Data, bool RaiseErrors = false,
                      bool InvertBytes = false);

  // The zone mark of a file: the key ZoneId of section ZoneTransfer in the
  // INI text of the file's stream "Zone.Identifier". Every other section
  // and key of the stream is kept. Zones are not range-checked.
  std::int32_t GetFileZone(std::u16string_view FileName);
  bool SetFileZone(std::u16string_view FileName, std::int32_t FileZone);
  bool IsFileZoneDefined(std::u16string_view FileName);
  bool DeleteFileZone(std::u16string_view FileName);

  // Descriptions of single files, kept in their directory's description
  // list. A description that cannot be stored so that it reads back the
  // same fails the set; nothing is written then.
  std::u16string GetFileDescription(std::u16string_view FileName);
  bool SetFileDescription(std::u16string_view FileName, std::u16string_view DescriptionText);
  bool DeleteFileDescription(std::u16string_view FileName);

  // The items of a standard list file; no list when reading failed and
  // RaiseErrors is false.
  std::optional<ListFileItems> ReadStandardListFile(std::u16string_view FileName, std::u16string_view CommentChar = u";",
                                                    bool IgnoreBlanks = true, bool TrimStrings = true,
                                                    bool IsOem = false, bool RaiseErrors = false);

  // The file system's compression of a file or directory. Failures come
  // back as the result (False, cfError) with the Windows error code in
  // *lpErrorCode when the caller passed one; success sets it to 0.
  bool SetFileCompression(std::u16string_view FileName, std::int32_t CompressionFormat,
                          std::int32_t* lpErrorCode = nullptr);
  std::int32_t GetFileCompression(std::u16string_view FileName, std::int32_t* lpErrorCode = nullptr);

  // Exchanges the two bytes of every pair in place; with an odd count the
  // last byte stays and error 9 is raised after the complete pairs.
  static void SwapBytePairs(tov::ByteArray& bytes);

 private:
  static std::u16string zoneStreamName(std::u16string_view fileName);
  static tov::ByteArray unicodeBytes(std::u16string_view text, bool withHeader, bool invert);
  static bool unicodeBytes(std::u16string_view text, bool withHeader, bool invert, bool raiseErrors,
                           tov::ByteArray& out);
};

}  // namespace ferrule
