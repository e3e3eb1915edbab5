// GetACP/GetOEMCP/LangID selection from the locale environment, and the
// locale-name parsing behind it.
#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "platform/CodePage.h"
#include "platform/LocaleName.h"

namespace tov::platform {
namespace {

// Every variable that steers the choice starts out unset and gets its old
// value back afterwards, so neither the developer's shell nor another test
// leaks in.
class SystemLocaleTest : public ::testing::Test {
 protected:
  static constexpr const char* kVariables[] = {"TOVAPPS_ACP", "TOVAPPS_OEMCP", "LC_ALL",
                                               "LC_CTYPE",    "LC_MESSAGES",   "LANG"};

  void SetUp() override {
    for (const char* name : kVariables) {
      const char* value = std::getenv(name);
      saved_.push_back(value ? std::optional<std::string>(value) : std::nullopt);
      unsetenv(name);
    }
  }
  void TearDown() override {
    for (std::size_t i = 0; i < saved_.size(); ++i) {
      if (saved_[i]) setenv(kVariables[i], saved_[i]->c_str(), 1);
      else unsetenv(kVariables[i]);
    }
  }
  static void set(const char* name, const char* value) { setenv(name, value, 1); }

 private:
  std::vector<std::optional<std::string>> saved_;
};

struct PairCase {
  const char* lang;
  unsigned ansi;
  unsigned oem;
};

TEST_F(SystemLocaleTest, ChoosesThePairWindowsGivesTheLocale) {
  const PairCase cases[] = {
      {"ru_RU.UTF-8", 1251, 866}, {"uk_UA.UTF-8", 1251, 866}, {"be_BY", 1251, 866},
      {"bg_BG", 1251, 866},       {"kk_KZ", 1251, 866},       {"sr_RS", 1251, 855},
      {"sr_ME.UTF-8", 1251, 855}, {"sr_RS@latin", 1250, 852}, {"sr-Latn-RS", 1250, 852},
      {"bs_BA", 1250, 852},       {"cs_CZ.UTF-8", 1250, 852}, {"pl_PL", 1250, 852},
      {"hu_HU", 1250, 852},       {"hr_HR", 1250, 852},       {"ro_RO", 1250, 852},
      {"en_US.UTF-8", 1252, 437}, {"en", 1252, 437},          {"en_GB.UTF-8", 1252, 850},
      {"en_CA", 1252, 850},       {"en_ZA", 1252, 437},       {"de_DE@euro", 1252, 850},
      {"de_BE.UTF-8", 1252, 850}, {"fr_CA", 1252, 850},       {"pt_BR", 1252, 850},
      {"nb_NO", 1252, 850},       {"sw_KE", 1252, 437},       {"el_GR.UTF-8", 1253, 737},
      {"tr_TR.UTF-8", 1254, 857}, {"az_AZ", 1254, 857},       {"uz_UZ@cyrillic", 1251, 866},
      {"uz_UZ", 1254, 857},       {"lt_LT", 1257, 775},       {"et_EE", 1257, 775},
      {"lv_LV", 1257, 775},       {"C", 1252, 437},           {"C.UTF-8", 1252, 437},
      {"POSIX", 1252, 437},       {"ja_JP.UTF-8", 1252, 437}, {"xx_YY", 1252, 437},
      {"", 1252, 437},            {"1234", 1252, 437},
  };
  for (const PairCase& c : cases) {
    set("LANG", c.lang);
    EXPECT_EQ(GetACP(), c.ansi) << c.lang;
    EXPECT_EQ(GetOEMCP(), c.oem) << c.lang;
    EXPECT_EQ(ansiCodePage().number(), c.ansi) << c.lang;
    EXPECT_EQ(oemCodePage().number(), c.oem) << c.lang;
  }
}

TEST_F(SystemLocaleTest, NoLocaleAtAllMeansUsDefaults) {
  EXPECT_EQ(GetACP(), 1252u);
  EXPECT_EQ(GetOEMCP(), 437u);
  EXPECT_EQ(GetUserDefaultLangID(), 0x0409);
  EXPECT_EQ(GetSystemDefaultLangID(), 0x0409);
}

TEST_F(SystemLocaleTest, CodePagesFollowLcAllThenLcCtypeThenLang) {
  set("LANG", "de_DE.UTF-8");
  set("LC_MESSAGES", "ru_RU.UTF-8");  // messages do not decide the code page
  EXPECT_EQ(GetACP(), 1252u);
  set("LC_CTYPE", "el_GR.UTF-8");
  EXPECT_EQ(GetACP(), 1253u);
  set("LC_ALL", "pl_PL.UTF-8");
  EXPECT_EQ(GetACP(), 1250u);
  EXPECT_EQ(GetOEMCP(), 852u);
  // An empty variable counts as unset, as in POSIX.
  set("LC_ALL", "");
  EXPECT_EQ(GetACP(), 1253u);
  // A set "C" is a choice, not a gap.
  set("LC_ALL", "C");
  EXPECT_EQ(GetACP(), 1252u);
  EXPECT_EQ(GetOEMCP(), 437u);
}

TEST_F(SystemLocaleTest, OverridesWinWhenTheyNameASupportedPage) {
  set("LANG", "en_US.UTF-8");
  set("TOVAPPS_ACP", "1251");
  EXPECT_EQ(GetACP(), 1251u);
  EXPECT_EQ(ansiCodePage().number(), 1251u);
  EXPECT_EQ(GetOEMCP(), 437u) << "each override stands alone";
  set("TOVAPPS_OEMCP", "866");
  EXPECT_EQ(GetOEMCP(), 866u);
  EXPECT_EQ(oemCodePage().number(), 866u);
  set("TOVAPPS_ACP", "01257");
  EXPECT_EQ(GetACP(), 1257u);
}

TEST_F(SystemLocaleTest, InvalidOverridesAreIgnored) {
  set("LANG", "ru_RU.UTF-8");
  for (const char* bad : {"", "abc", "1251x", " 1251", "1251 ", "-1251", "+1251", "65001",
                          "1255", "0", "99999999999999999999", "0x4E3"}) {
    set("TOVAPPS_ACP", bad);
    set("TOVAPPS_OEMCP", bad);
    EXPECT_EQ(GetACP(), 1251u) << '"' << bad << '"';
    EXPECT_EQ(GetOEMCP(), 866u) << '"' << bad << '"';
  }
}

TEST_F(SystemLocaleTest, LangIdsFromTheLocale) {
  const std::pair<const char*, std::uint16_t> cases[] = {
      {"ru_RU.UTF-8", 0x0419}, {"en_US.UTF-8", 0x0409}, {"en_GB.UTF-8", 0x0809},
      {"de_DE.UTF-8", 0x0407}, {"fr_FR.UTF-8", 0x040C}, {"uk_UA.UTF-8", 0x0422},
      {"be_BY.UTF-8", 0x0423}, {"pl_PL.UTF-8", 0x0415}, {"cs_CZ.UTF-8", 0x0405},
      {"de_AT@euro", 0x0C07},  {"fr_CA", 0x0C0C},       {"pt_PT", 0x0816},
      {"pt", 0x0416},          {"es_ES", 0x0C0A},       {"es_MX", 0x080A},
      {"sr_RS", 0x281A},       {"sr_RS@latin", 0x241A}, {"az_AZ", 0x042C},
      {"ja_JP.UTF-8", 0x0411}, {"zh_TW.UTF-8", 0x0404}, {"de_BE.UTF-8", 0x0407},
      {"ru", 0x0419},          {"C", 0x0409},           {"POSIX", 0x0409},
      {"xx_YY", 0x0409},
  };
  for (const auto& [lang, id] : cases) {
    set("LANG", lang);
    EXPECT_EQ(GetUserDefaultLangID(), id) << lang;
    EXPECT_EQ(GetSystemDefaultLangID(), id) << lang;
  }
}

TEST_F(SystemLocaleTest, UserLangIdHeedsLcMessagesButSystemDoesNot) {
  set("LANG", "de_DE.UTF-8");
  set("LC_CTYPE", "el_GR.UTF-8");  // not a language setting
  set("LC_MESSAGES", "uk_UA.UTF-8");
  EXPECT_EQ(GetUserDefaultLangID(), 0x0422);
  EXPECT_EQ(GetSystemDefaultLangID(), 0x0407);
  set("LC_ALL", "cs_CZ.UTF-8");
  EXPECT_EQ(GetUserDefaultLangID(), 0x0405);
  EXPECT_EQ(GetSystemDefaultLangID(), 0x0405);
}

TEST(LocaleNameTest, TakesPosixNamesApart) {
  struct Case {
    const char* name;
    const char* language;
    const char* script;
    const char* territory;
  };
  const Case cases[] = {
      {"ru_RU.UTF-8", "ru", "", "RU"},       {"de_DE@euro", "de", "", "DE"},
      {"sr_RS.UTF-8@latin", "sr", "Latn", "RS"}, {"uz_UZ@cyrillic", "uz", "Cyrl", "UZ"},
      {"sr-latn-rs", "sr", "Latn", "RS"},    {"EN_us", "en", "", "US"},
      {"es_419.UTF-8", "es", "", "419"},     {"sah_RU", "sah", "", "RU"},
      {"en", "en", "", ""},                  {"C", "", "", ""},
      {"C.UTF-8", "", "", ""},               {"POSIX", "", "", ""},
      {"", "", "", ""},                      {"english_US", "", "", ""},
      {"r1_RU", "", "", ""},
  };
  for (const Case& c : cases) {
    const LocaleName name = LocaleName::parse(c.name);
    EXPECT_EQ(name.language(), c.language) << c.name;
    EXPECT_EQ(name.script(), c.script) << c.name;
    EXPECT_EQ(name.territory(), c.territory) << c.name;
  }
}

}  // namespace
}  // namespace tov::platform
