#include <gtest/gtest.h>

#include "ui/FontChoice.h"

using tov::ui::chooseFontFamily;
using tov::ui::FontFamilyInfo;

TEST(FontChoice, TakesTheRequestedFamilyOrTheClosestWithCyrillic) {
  const std::vector<FontFamilyInfo> plain = {
      {"Latin Only", false, false}, {"DejaVu Sans Mono", true, true}, {"Some Serif", true, false},
      {"Liberation Sans", true, false}, {"DejaVu Sans", true, false}};
  EXPECT_EQ(chooseFontFamily("Tahoma", plain), "DejaVu Sans");
  EXPECT_EQ(chooseFontFamily("liberation sans", plain), "Liberation Sans");
  std::vector<FontFamilyInfo> withTahoma = plain;
  withTahoma.push_back({"Tahoma", true, false});
  EXPECT_EQ(chooseFontFamily("TAHOMA", withTahoma), "Tahoma");
  // A requested family that cannot show Russian is no good.
  EXPECT_EQ(chooseFontFamily("Latin Only", plain), "DejaVu Sans");
  EXPECT_EQ(chooseFontFamily("Tahoma", {{"Latin Only", false, false}, {"Mono", true, true}, {"Serif", true, false}}),
            "Serif");
  EXPECT_EQ(chooseFontFamily("Tahoma", {{"Latin Only", false, false}}), "");
}
