// The system code pages and language identifiers, derived from the POSIX
// locale the way Windows derives them from its system and user locales.
#include <charconv>
#include <cstdlib>
#include <optional>
#include <string_view>

#include "platform/CodePage.h"
#include "platform/LocaleName.h"

namespace tov::platform {
namespace {

struct LocaleEntry {
  std::string_view language;
  std::string_view script;     // "" = the language's usual script
  std::string_view territory;
  std::uint16_t langId;
  unsigned ansiPage;           // 0 = a page we do not carry
  unsigned oemPage;
};

constexpr std::uint16_t kDefaultLangId = 0x0409;
constexpr unsigned kDefaultAnsiPage = 1252;
constexpr unsigned kDefaultOemPage = 437;

// One row per Windows locale we recognise, with its LANGID and the ANSI/OEM
// pair Windows gives it. The first row of each language+script is its
// primary variant, used for the language alone and for territories not
// listed. Notable pairings:
//   * English: 437 for en-US and the territories Windows treats alike
//     (ZA, PH, ZW, IN, MY, SG); 850 for GB, CA, AU, NZ, IE, JM, BZ, TT.
//   * Swahili is 1252/437, not 850.
//   * Serbian and Bosnian in Cyrillic use OEM 855, not 866; Serbian is
//     Cyrillic unless the locale says @latin, Bosnian Latin unless
//     @cyrillic; Azeri and Uzbek are Latin (Turkish pair) unless @cyrillic.
//   * Languages whose pages we do not carry (CJK, Arabic, Hebrew, Thai,
//     Vietnamese, Indic...) keep their LANGID but fall back to 1252/437.
constexpr LocaleEntry kLocales[] = {
    // Western European: 1252/850 (English per territory, Swahili 437).
    {"en", "", "US", 0x0409, 1252, 437},
    {"en", "", "GB", 0x0809, 1252, 850},
    {"en", "", "AU", 0x0C09, 1252, 850},
    {"en", "", "CA", 0x1009, 1252, 850},
    {"en", "", "NZ", 0x1409, 1252, 850},
    {"en", "", "IE", 0x1809, 1252, 850},
    {"en", "", "ZA", 0x1C09, 1252, 437},
    {"en", "", "JM", 0x2009, 1252, 850},
    {"en", "", "BZ", 0x2809, 1252, 850},
    {"en", "", "TT", 0x2C09, 1252, 850},
    {"en", "", "ZW", 0x3009, 1252, 437},
    {"en", "", "PH", 0x3409, 1252, 437},
    {"en", "", "IN", 0x4009, 1252, 437},
    {"en", "", "MY", 0x4409, 1252, 437},
    {"en", "", "SG", 0x4809, 1252, 437},
    {"de", "", "DE", 0x0407, 1252, 850},
    {"de", "", "CH", 0x0807, 1252, 850},
    {"de", "", "AT", 0x0C07, 1252, 850},
    {"de", "", "LU", 0x1007, 1252, 850},
    {"de", "", "LI", 0x1407, 1252, 850},
    {"fr", "", "FR", 0x040C, 1252, 850},
    {"fr", "", "BE", 0x080C, 1252, 850},
    {"fr", "", "CA", 0x0C0C, 1252, 850},
    {"fr", "", "CH", 0x100C, 1252, 850},
    {"fr", "", "LU", 0x140C, 1252, 850},
    {"fr", "", "MC", 0x180C, 1252, 850},
    {"es", "", "ES", 0x0C0A, 1252, 850},
    {"es", "", "MX", 0x080A, 1252, 850},
    {"es", "", "VE", 0x200A, 1252, 850},
    {"es", "", "CO", 0x240A, 1252, 850},
    {"es", "", "PE", 0x280A, 1252, 850},
    {"es", "", "AR", 0x2C0A, 1252, 850},
    {"es", "", "CL", 0x340A, 1252, 850},
    {"es", "", "US", 0x540A, 1252, 850},
    {"it", "", "IT", 0x0410, 1252, 850},
    {"it", "", "CH", 0x0810, 1252, 850},
    {"pt", "", "BR", 0x0416, 1252, 850},
    {"pt", "", "PT", 0x0816, 1252, 850},
    {"nl", "", "NL", 0x0413, 1252, 850},
    {"nl", "", "BE", 0x0813, 1252, 850},
    {"sv", "", "SE", 0x041D, 1252, 850},
    {"sv", "", "FI", 0x081D, 1252, 850},
    {"da", "", "DK", 0x0406, 1252, 850},
    {"nb", "", "NO", 0x0414, 1252, 850},
    {"no", "", "NO", 0x0414, 1252, 850},
    {"nn", "", "NO", 0x0814, 1252, 850},
    {"fi", "", "FI", 0x040B, 1252, 850},
    {"is", "", "IS", 0x040F, 1252, 850},
    {"fo", "", "FO", 0x0438, 1252, 850},
    {"ca", "", "ES", 0x0403, 1252, 850},
    {"eu", "", "ES", 0x042D, 1252, 850},
    {"gl", "", "ES", 0x0456, 1252, 850},
    {"ga", "", "IE", 0x083C, 1252, 850},
    {"cy", "", "GB", 0x0452, 1252, 850},
    {"gd", "", "GB", 0x0491, 1252, 850},
    {"br", "", "FR", 0x047E, 1252, 850},
    {"oc", "", "FR", 0x0482, 1252, 850},
    {"co", "", "FR", 0x0483, 1252, 850},
    {"lb", "", "LU", 0x046E, 1252, 850},
    {"rm", "", "CH", 0x0417, 1252, 850},
    {"fy", "", "NL", 0x0462, 1252, 850},
    {"se", "", "NO", 0x043B, 1252, 850},
    {"af", "", "ZA", 0x0436, 1252, 850},
    {"zu", "", "ZA", 0x0435, 1252, 850},
    {"xh", "", "ZA", 0x0434, 1252, 850},
    {"tn", "", "ZA", 0x0432, 1252, 850},
    {"id", "", "ID", 0x0421, 1252, 850},
    {"ms", "", "MY", 0x043E, 1252, 850},
    {"ms", "", "BN", 0x083E, 1252, 850},
    {"sw", "", "KE", 0x0441, 1252, 437},

    // Central European: 1250/852.
    {"cs", "", "CZ", 0x0405, 1250, 852},
    {"sk", "", "SK", 0x041B, 1250, 852},
    {"pl", "", "PL", 0x0415, 1250, 852},
    {"hu", "", "HU", 0x040E, 1250, 852},
    {"sl", "", "SI", 0x0424, 1250, 852},
    {"hr", "", "HR", 0x041A, 1250, 852},
    {"hr", "", "BA", 0x101A, 1250, 852},
    {"ro", "", "RO", 0x0418, 1250, 852},
    {"ro", "", "MD", 0x0818, 1250, 852},
    {"sq", "", "AL", 0x041C, 1250, 852},
    {"bs", "", "BA", 0x141A, 1250, 852},
    {"sr", "Latn", "RS", 0x241A, 1250, 852},
    {"sr", "Latn", "ME", 0x2C1A, 1250, 852},
    {"sr", "Latn", "BA", 0x181A, 1250, 852},

    // Cyrillic: 1251/866, Serbian and Bosnian 1251/855.
    {"ru", "", "RU", 0x0419, 1251, 866},
    {"ru", "", "MD", 0x0819, 1251, 866},
    {"uk", "", "UA", 0x0422, 1251, 866},
    {"be", "", "BY", 0x0423, 1251, 866},
    {"bg", "", "BG", 0x0402, 1251, 866},
    {"mk", "", "MK", 0x042F, 1251, 866},
    {"kk", "", "KZ", 0x043F, 1251, 866},
    {"ky", "", "KG", 0x0440, 1251, 866},
    {"tt", "", "RU", 0x0444, 1251, 866},
    {"ba", "", "RU", 0x046D, 1251, 866},
    {"sah", "", "RU", 0x0485, 1251, 866},
    {"mn", "", "MN", 0x0450, 1251, 866},
    {"tg", "", "TJ", 0x0428, 1251, 866},
    {"az", "Cyrl", "AZ", 0x082C, 1251, 866},
    {"uz", "Cyrl", "UZ", 0x0843, 1251, 866},
    {"sr", "", "RS", 0x281A, 1251, 855},
    {"sr", "", "ME", 0x301A, 1251, 855},
    {"sr", "", "BA", 0x1C1A, 1251, 855},
    {"bs", "Cyrl", "BA", 0x201A, 1251, 855},

    // Greek, Turkish, Baltic.
    {"el", "", "GR", 0x0408, 1253, 737},
    {"tr", "", "TR", 0x041F, 1254, 857},
    {"az", "", "AZ", 0x042C, 1254, 857},
    {"uz", "", "UZ", 0x0443, 1254, 857},
    {"et", "", "EE", 0x0425, 1257, 775},
    {"lv", "", "LV", 0x0426, 1257, 775},
    {"lt", "", "LT", 0x0427, 1257, 775},

    // Pages we do not carry: the LANGID only.
    {"ar", "", "SA", 0x0401, 0, 0},
    {"ar", "", "EG", 0x0C01, 0, 0},
    {"he", "", "IL", 0x040D, 0, 0},
    {"ja", "", "JP", 0x0411, 0, 0},
    {"ko", "", "KR", 0x0412, 0, 0},
    {"zh", "", "CN", 0x0804, 0, 0},  // zh alone means Simplified, as in BCP 47
    {"zh", "", "TW", 0x0404, 0, 0},
    {"zh", "", "HK", 0x0C04, 0, 0},
    {"zh", "", "SG", 0x1004, 0, 0},
    {"th", "", "TH", 0x041E, 0, 0},
    {"vi", "", "VN", 0x042A, 0, 0},
    {"fa", "", "IR", 0x0429, 0, 0},
    {"ur", "", "PK", 0x0420, 0, 0},
    {"hi", "", "IN", 0x0439, 0, 0},
    {"ta", "", "IN", 0x0449, 0, 0},
    {"hy", "", "AM", 0x042B, 0, 0},
    {"ka", "", "GE", 0x0437, 0, 0},
    {"mt", "", "MT", 0x043A, 0, 0},
};

const LocaleEntry* findEntry(const LocaleName& locale, std::string_view script) {
  const LocaleEntry* primary = nullptr;
  for (const LocaleEntry& entry : kLocales) {
    if (entry.language != locale.language() || entry.script != script) continue;
    if (entry.territory == locale.territory()) return &entry;
    if (primary == nullptr) primary = &entry;
  }
  return primary;
}

// A script we have no row for (be@latin, sr_Cyrl_RS spelled out) falls back
// to the language's usual script.
const LocaleEntry* findEntry(const LocaleName& locale) {
  if (locale.language().empty()) return nullptr;
  if (!locale.script().empty()) {
    if (const LocaleEntry* entry = findEntry(locale, locale.script())) return entry;
  }
  return findEntry(locale, "");
}

LocaleName ctypeLocale() { return LocaleName::fromEnvironment({"LC_ALL", "LC_CTYPE", "LANG"}); }

// A decimal page number naming a supported page; anything else is ignored so
// a typo cannot leave the process without a usable code page.
std::optional<unsigned> pageFromVariable(const char* variable) {
  const char* value = std::getenv(variable);
  if (value == nullptr) return std::nullopt;
  const std::string_view text(value);
  unsigned number = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
  if (text.empty() || error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  if (CodePage::find(number) == nullptr) return std::nullopt;
  return number;
}

unsigned localePage(unsigned LocaleEntry::*page, unsigned fallback) {
  const LocaleEntry* entry = findEntry(ctypeLocale());
  if (entry == nullptr || CodePage::find(entry->*page) == nullptr) return fallback;
  return entry->*page;
}

std::uint16_t langIdOf(const LocaleName& locale) {
  const LocaleEntry* entry = findEntry(locale);
  return entry != nullptr ? entry->langId : kDefaultLangId;
}

}  // namespace

unsigned GetACP() {
  if (const auto page = pageFromVariable("TOVAPPS_ACP")) return *page;
  return localePage(&LocaleEntry::ansiPage, kDefaultAnsiPage);
}

unsigned GetOEMCP() {
  if (const auto page = pageFromVariable("TOVAPPS_OEMCP")) return *page;
  return localePage(&LocaleEntry::oemPage, kDefaultOemPage);
}

// GetACP and GetOEMCP only ever return supported pages.
const CodePage& ansiCodePage() { return *CodePage::find(GetACP()); }
const CodePage& oemCodePage() { return *CodePage::find(GetOEMCP()); }

std::uint16_t GetUserDefaultLangID() {
  return langIdOf(LocaleName::fromEnvironment({"LC_ALL", "LC_MESSAGES", "LANG"}));
}

std::uint16_t GetSystemDefaultLangID() {
  return langIdOf(LocaleName::fromEnvironment({"LC_ALL", "LANG"}));
}

}  // namespace tov::platform
