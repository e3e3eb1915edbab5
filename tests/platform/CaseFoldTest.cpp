// Section and key names match across case in the scripts Windows users name
// them in, and only there.
#include <gtest/gtest.h>

#include "platform/CaseFold.h"

namespace tov::platform {
namespace {

TEST(CaseFold, MatchesUpperAndLowerCaseAcrossScripts) {
  EXPECT_TRUE(equalsIgnoreCase(u"Output Encoding", u"OUTPUT encoding"));
  EXPECT_TRUE(equalsIgnoreCase(u"Éléphant ÿ", u"éLÉPHANT Ÿ"));        // Latin-1, ÿ/Ÿ across blocks
  EXPECT_TRUE(equalsIgnoreCase(u"Łódź Ŋ Ž", u"łÓDŹ ŋ ž"));            // Latin Extended-A, both parities
  EXPECT_TRUE(equalsIgnoreCase(u"Ǎǟ Ș", u"ǎǞ ș"));                      // Latin Extended-B
  EXPECT_TRUE(equalsIgnoreCase(u"ΣΟΦΟΣ", u"σοφος"));                     // Greek, final sigma
  EXPECT_TRUE(equalsIgnoreCase(u"Ёлка Їжак Ґанок Ѣ", u"ёЛКА їЖАК ґАНОК ѣ"));  // Cyrillic blocks
  EXPECT_TRUE(equalsIgnoreCase(u"Ӂ Ӏ", u"ӂ ӏ"));
}

TEST(CaseFold, KeepsDifferentLettersApart) {
  EXPECT_FALSE(equalsIgnoreCase(u"key", u"keys"));
  EXPECT_FALSE(equalsIgnoreCase(u"a", u"b"));
  EXPECT_FALSE(equalsIgnoreCase(u"Е", u"Ё"));  // ru: distinct letters
  EXPECT_FALSE(equalsIgnoreCase(u"÷", u"×"));  // 0xF7 and 0xD7 are signs, not a case pair
  EXPECT_FALSE(equalsIgnoreCase(u"ĸ", u"Ķ"));  // kra has no capital
  EXPECT_FALSE(equalsIgnoreCase(u"@", u"`"));
  EXPECT_FALSE(equalsIgnoreCase(u"[", u"{"));
}

}  // namespace
}  // namespace tov::platform
