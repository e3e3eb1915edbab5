#pragma once
// The version resource of an executable file: its fixed part (version
// numbers, flags, operating system, type, subtype, date) and its named
// strings in the table that best fits the running system.
//
// ReadFile reads the file once; every later query is answered from the
// resource the object holds. A failed ReadFile leaves the object as new.
#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "platform/ByteVector.h"
#include "support/ByteArray.h"

namespace ferrule {

class tovFileVersion {
 public:
  bool ReadFile(std::u16string_view FileName);
  // A copy of the version data; empty when nothing is loaded.
  tov::ByteArray GetBuffer() const;

  std::int32_t FileDateLS() const { return signedField(kFileDateLow); }
  std::int32_t FileDateMS() const { return signedField(kFileDateHigh); }
  std::int32_t FileSubType() const { return signedField(kFileSubtype); }
  std::int32_t FileType() const { return signedField(kFileType); }
  std::int32_t FileOS() const { return signedField(kFileOs); }
  std::int32_t StrucVersion() const { return signedField(kStrucVersion); }
  std::int32_t Signature() const { return signedField(kSignature); }

  std::int32_t ProductVerMajor() const { return high(kProductVersionHigh); }
  std::int32_t ProductVerMinor() const { return low(kProductVersionHigh); }
  std::int32_t ProductVerRevisionMajor() const { return high(kProductVersionLow); }
  std::int32_t ProductVerRevisionMinor() const { return low(kProductVersionLow); }
  std::int32_t FileVerMajor() const { return high(kFileVersionHigh); }
  std::int32_t FileVerMinor() const { return low(kFileVersionHigh); }
  std::int32_t FileVerRevisionMajor() const { return high(kFileVersionLow); }
  std::int32_t FileVerRevisionMinor() const { return low(kFileVersionLow); }

  // The name given to the last successful ReadFile, as given.
  const std::u16string& FileName() const { return fileName_; }

  bool FileFlagDebug() const { return flag(kFileFlags, kDebug); }
  bool FileFlagSpecialBuild() const { return flag(kFileFlags, kSpecialBuild); }
  bool FileFlagPrivateBuild() const { return flag(kFileFlags, kPrivateBuild); }
  bool FileFlagPreRelease() const { return flag(kFileFlags, kPreRelease); }
  bool FileFlagPatched() const { return flag(kFileFlags, kPatched); }
  bool FileFlagInfoInferred() const { return flag(kFileFlags, kInfoInferred); }
  bool FileFlagMaskDebug() const { return flag(kFileFlagsMask, kDebug); }
  bool FileFlagMaskSpecialBuild() const { return flag(kFileFlagsMask, kSpecialBuild); }
  bool FileFlagMaskPrivateBuild() const { return flag(kFileFlagsMask, kPrivateBuild); }
  bool FileFlagMaskPreRelease() const { return flag(kFileFlagsMask, kPreRelease); }
  bool FileFlagMaskPatched() const { return flag(kFileFlagsMask, kPatched); }
  bool FileFlagMaskInfoInferred() const { return flag(kFileFlagsMask, kInfoInferred); }

  // The platform's name of a language identifier; independent of the file.
  static std::u16string GetLanguageName(std::int32_t LanguageID);
  // The name of the language of the selected string table; "" when nothing
  // is loaded.
  std::u16string LanguageName() const;

  // The named string of the selected table; "" when nothing is loaded, the
  // name is empty or the table lacks it.
  std::u16string GetVersionInfoString(std::u16string_view Name) const;
  std::u16string StrComments() const { return GetVersionInfoString(u"Comments"); }
  std::u16string StrCompanyName() const { return GetVersionInfoString(u"CompanyName"); }
  std::u16string StrFileDescription() const { return GetVersionInfoString(u"FileDescription"); }
  std::u16string StrFileVersion() const { return GetVersionInfoString(u"FileVersion"); }
  std::u16string StrInternalName() const { return GetVersionInfoString(u"InternalName"); }
  std::u16string StrLegalCopyright() const { return GetVersionInfoString(u"LegalCopyright"); }
  std::u16string StrLegalTrademarks() const { return GetVersionInfoString(u"LegalTrademarks"); }
  std::u16string StrOLESelfRegister() const { return GetVersionInfoString(u"OLESelfRegister"); }
  std::u16string StrOriginalFilename() const { return GetVersionInfoString(u"OriginalFilename"); }
  std::u16string StrPrivateBuild() const { return GetVersionInfoString(u"PrivateBuild"); }
  std::u16string StrProductName() const { return GetVersionInfoString(u"ProductName"); }
  std::u16string StrProductVersion() const { return GetVersionInfoString(u"ProductVersion"); }
  std::u16string StrSpecialBuild() const { return GetVersionInfoString(u"SpecialBuild"); }

  // The selected string table as eight hex digits, language then code page
  // ("040904B0"); "" when nothing is loaded.
  const std::u16string& TranslationKey() const { return translationKey_; }

  // One entry of a translation table.
  struct Translation {
    std::uint16_t language;
    std::uint16_t codePage;
  };
  // The entry whose string table fits the system best, by eight passes in
  // order, each taking the first entry that matches: user language with the
  // ANSI code page, with Unicode (1200), with any page; the same three for
  // the system language; US English with any page; else the first entry.
  // `table` must not be empty.
  static Translation SelectTranslation(std::span<const Translation> table, std::uint16_t userLanguage,
                                       std::uint16_t systemLanguage, std::uint16_t ansiCodePage);

 private:
  // The thirteen fields of the fixed file information, in their order.
  enum Field {
    kSignature,
    kStrucVersion,
    kFileVersionHigh,
    kFileVersionLow,
    kProductVersionHigh,
    kProductVersionLow,
    kFileFlagsMask,
    kFileFlags,
    kFileOs,
    kFileType,
    kFileSubtype,
    kFileDateHigh,
    kFileDateLow,
    kFieldCount
  };
  enum FlagBit : std::uint32_t {
    kDebug = 0x1,
    kPreRelease = 0x2,
    kPatched = 0x4,
    kPrivateBuild = 0x8,
    kInfoInferred = 0x10,
    kSpecialBuild = 0x20,
  };

  std::int32_t signedField(Field f) const { return static_cast<std::int32_t>(fixed_[f]); }
  std::int32_t high(Field f) const { return static_cast<std::int32_t>(fixed_[f] >> 16); }
  std::int32_t low(Field f) const { return static_cast<std::int32_t>(fixed_[f] & 0xFFFF); }
  bool flag(Field f, FlagBit bit) const { return (fixed_[f] & bit) != 0; }

  void clear();
  void loadFixedFileInfo();
  void selectTranslation();

  tov::ByteVector buffer_;
  std::array<std::uint32_t, kFieldCount> fixed_{};
  std::u16string translationKey_;
  std::u16string fileName_;
};

}  // namespace ferrule
