#include "reminders/choice_layout.h"

#include <gtest/gtest.h>

#include <cmath>

#include "reminders/choice.h"

namespace tolvi {
namespace {

TEST(BaseUnitsFromFont, AveragesTheAlphabetAndRoundsTheCellUp) {
  struct Case {
    std::int32_t alphabet_width;
    double ascent, descent;
    DialogBaseUnits expected;
  };
  const Case cases[] = {
      {312, 10.0, 3.0, {6, 13}},   // exactly 6
      {333, 9.95, 2.33, {6, 13}},  // 8 pt: each half rounds up
      {285, 13.0, 3.0, {5, 16}},   // 5.48 rounds down
      {0, 0.0, 0.0, {1, 1}},      {-40, -3.0, std::nan(""), {1, 1}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(BaseUnitsFromFont(c.alphabet_width, c.ascent, c.descent), c.expected)
        << c.alphabet_width;
  }
}

TEST(ChoiceLayout, MapsTheTemplateWithTheFontsUnits) {
  // The classic small font, 6 x 13 pixel units; every value worked out by
  // hand, halves rounded up.
  const ChoiceLayout layout = ComputeChoiceLayout(DialogBaseUnits{6, 13});
  EXPECT_EQ(layout.client, (PixelRect{0, 0, 375, 198}));
  EXPECT_EQ(layout.icon, (PixelRect{6, 7, 32, 32}));
  EXPECT_EQ(layout.message, (PixelRect{53, 5, 315, 55}));
  EXPECT_EQ(layout.first_button, (PixelRect{69, 70, 300, 57}));
  EXPECT_EQ(layout.second_button, (PixelRect{69, 135, 300, 57}));
  const ChoiceLayout large = ComputeChoiceLayout(DialogBaseUnits{8, 17});
  EXPECT_EQ(large.client, (PixelRect{0, 0, 500, 259}));  // 122 * 17 / 8 = 259.25
  EXPECT_EQ(large.second_button, (PixelRect{92, 176, 400, 74}));
}

TEST(ChoiceOpenFlag, StaysOpenUntilTheLastOfTwoWindowsCloses) {
  ChoiceOpenFlag flag;
  EXPECT_FALSE(flag.IsOpen());
  {
    ChoiceOpenScope first(flag);
    {
      ChoiceOpenScope second(flag);
      EXPECT_TRUE(flag.IsOpen());
    }
    EXPECT_TRUE(flag.IsOpen());
  }
  EXPECT_FALSE(flag.IsOpen());
}

}  // namespace
}  // namespace tolvi
