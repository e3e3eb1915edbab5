#include "fileio/tovFileVersion.h"

#include <new>
#include <vector>

#include "platform/CodePage.h"
#include "platform/ImageBytes.h"
#include "platform/VersionInfo.h"
#include "platform/WinError.h"
#include "support/SystemFunctions.h"

namespace ferrule {
namespace {

namespace platform = tov::platform;

constexpr std::size_t kFixedInfoSize = 52;
constexpr std::uint16_t kUnicodeCodePage = 1200;
constexpr std::uint16_t kUsEnglish = 0x0409;
constexpr std::u16string_view kDefaultTranslation = u"040904B0";
// What the language-name buffer holds, as the platform is asked to fill it.
constexpr std::size_t kLanguageNameChars = 1024;

// The text of a string value: its units up to the first NUL.
std::u16string textOf(const platform::VersionValue& value) {
  std::u16string text;
  const std::size_t units = std::min<std::size_t>(value.length, value.bytes.size() / 2);
  text.reserve(units);
  for (std::size_t i = 0; i < units; ++i) {
    const char16_t c = static_cast<char16_t>(platform::loadU16(value.bytes.data() + 2 * i));
    if (c == u'\0') break;
    text.push_back(c);
  }
  return text;
}

int hexDigit(char16_t c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'a' && c <= u'f') return c - u'a' + 10;
  if (c >= u'A' && c <= u'F') return c - u'A' + 10;
  return -1;
}

}  // namespace

bool tovFileVersion::ReadFile(std::u16string_view FileName) {
  clear();
  try {
    tov::ByteVector data;
    if (platform::readFileVersionInfo(FileName, data) != platform::kErrorSuccess || data.empty()) return false;
    buffer_ = std::move(data);
    loadFixedFileInfo();
    selectTranslation();
    fileName_ = std::u16string(FileName);
    return true;
  } catch (const std::bad_alloc&) {
    clear();
    return false;
  }
}

void tovFileVersion::clear() {
  buffer_ = {};
  fixed_.fill(0);
  translationKey_.clear();
  fileName_.clear();
}

tov::ByteArray tovFileVersion::GetBuffer() const { return tov::ByteArray(buffer_); }

void tovFileVersion::loadFixedFileInfo() {
  fixed_.fill(0);
  platform::VersionValue value;
  if (!platform::VerQueryValueW(buffer_, u"\\", value) || value.length != kFixedInfoSize) return;
  for (std::size_t i = 0; i < fixed_.size(); ++i) fixed_[i] = platform::loadU32(value.bytes.data() + 4 * i);
}

void tovFileVersion::selectTranslation() {
  platform::VersionValue value;
  if (!platform::VerQueryValueW(buffer_, u"\\VarFileInfo\\Translation", value) || value.length < 4) {
    translationKey_ = kDefaultTranslation;
    return;
  }
  // A trailing part of an entry is no entry.
  std::vector<Translation> table(value.length / 4);
  for (std::size_t i = 0; i < table.size(); ++i) {
    table[i] = {platform::loadU16(value.bytes.data() + 4 * i), platform::loadU16(value.bytes.data() + 4 * i + 2)};
  }
  const Translation chosen =
      SelectTranslation(table, platform::GetUserDefaultLangID(), platform::GetSystemDefaultLangID(),
                        static_cast<std::uint16_t>(platform::GetACP()));
  translationKey_ = tov::asHex2(chosen.language) + tov::asHex2(chosen.codePage);
}

tovFileVersion::Translation tovFileVersion::SelectTranslation(std::span<const Translation> table,
                                                              std::uint16_t userLanguage,
                                                              std::uint16_t systemLanguage,
                                                              std::uint16_t ansiCodePage) {
  using Match = bool (*)(const Translation&, std::uint16_t language, std::uint16_t codePage);
  const Match withPage = [](const Translation& t, std::uint16_t l, std::uint16_t p) {
    return t.language == l && t.codePage == p;
  };
  const Match anyPage = [](const Translation& t, std::uint16_t l, std::uint16_t) { return t.language == l; };
  const struct {
    Match match;
    std::uint16_t language;
    std::uint16_t codePage;
  } passes[] = {
      {withPage, userLanguage, ansiCodePage},   {withPage, userLanguage, kUnicodeCodePage},
      {anyPage, userLanguage, 0},               {withPage, systemLanguage, ansiCodePage},
      {withPage, systemLanguage, kUnicodeCodePage}, {anyPage, systemLanguage, 0},
      {anyPage, kUsEnglish, 0},
  };
  for (const auto& pass : passes) {
    for (const Translation& entry : table) {
      if (pass.match(entry, pass.language, pass.codePage)) return entry;
    }
  }
  return table.front();
}

std::u16string tovFileVersion::GetLanguageName(std::int32_t LanguageID) {
  std::u16string name(kLanguageNameChars + 1, u'\0');
  platform::VerLanguageNameW(static_cast<std::uint32_t>(LanguageID), std::span<char16_t>(name.data(), kLanguageNameChars));
  name.resize(name.find(u'\0'));
  return name;
}

std::u16string tovFileVersion::LanguageName() const {
  if (translationKey_.size() < 4) return {};
  std::int32_t id = 0;
  for (std::size_t i = 0; i < 4; ++i) {
    const int digit = hexDigit(translationKey_[i]);
    if (digit < 0) return {};
    id = id * 16 + digit;
  }
  return GetLanguageName(id);
}

std::u16string tovFileVersion::GetVersionInfoString(std::u16string_view Name) const {
  if (buffer_.empty() || Name.empty()) return {};
  std::u16string path = u"\\StringFileInfo\\";
  path += translationKey_;
  path += u'\\';
  path += Name;
  platform::VersionValue value;
  if (!platform::VerQueryValueW(buffer_, path, value)) return {};
  return textOf(value);
}

}  // namespace ferrule
