// File names between UTF-16 and the file system: any name a directory holds
// comes back byte for byte, and a name that cannot reach the file system as
// given is marked unusable instead of turning into another name.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>

#include "platform/Path.h"

namespace tov::platform {
namespace {

TEST(NativePath, EveryByteNameComesBackUnchanged) {
  std::mt19937 rng(7);
  std::uniform_int_distribution<int> byte(1, 255);
  for (int round = 0; round < 2000; ++round) {
    std::string name(static_cast<std::size_t>(round % 40), '\0');
    for (char& c : name) c = static_cast<char>(byte(rng));
    std::replace(name.begin(), name.end(), '\\', '/');
    const std::u16string wide = fromNativePath(name);
    ASSERT_EQ(nativePath(wide), name) << "round " << round;
    ASSERT_TRUE(isUsablePath(nativePath(wide)));
  }
}

TEST(NativePath, UndecodableBytesTravelAsLowSurrogates) {
  // Latin-1 "café", a lone continuation byte, a cut-off sequence, an
  // encoded surrogate and an overlong slash.
  EXPECT_EQ(fromNativePath("caf\xE9.txt"), u"caf\xDCE9.txt");
  EXPECT_EQ(fromNativePath("\x80x"), u"\xDC80x");
  EXPECT_EQ(fromNativePath("\xF0\x9F\x98x"), u"\xDCF0\xDC9F\xDC98x");
  EXPECT_EQ(fromNativePath("\xED\xB3\xBF"), u"\xDCED\xDCB3\xDCBF");
  EXPECT_EQ(fromNativePath("\xC0\xAF"), u"\xDCC0\xDCAF");
  // Well-formed UTF-8 is plain text.
  EXPECT_EQ(fromNativePath("Ελληνικά 😀.pdf"), u"Ελληνικά 😀.pdf");
  EXPECT_EQ(nativePath(u"Ελληνικά 😀.pdf"), "Ελληνικά 😀.pdf");
  EXPECT_EQ(nativePath(u"dir\\caf\xDCE9.txt"), "dir/caf\xE9.txt");
}

TEST(NativePath, NamesThatNameNoBytesAreUnusable) {
  for (std::u16string name : {std::u16string(u"report.txt\0.new", 15), std::u16string(u"a\xD800.txt"),
                              std::u16string(u"a\xDC7F.txt"), std::u16string(u"a\xDD00.txt"), std::u16string(u"\xDBFF")}) {
    EXPECT_FALSE(isUsablePath(nativePath(name)));
  }
  EXPECT_TRUE(isUsablePath(nativePath(u"a\xD83D\xDE00.txt")));  // a proper pair
}

}  // namespace
}  // namespace tov::platform
