#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <set>
#include <string>

#include "app/form1_layout.h"

namespace fernkartei::app {
namespace {

TEST(TwipsToPixelsTest, RoundsToTheNearestPixelAtEveryResolution) {
  struct Case {
    float twips, dpi;
    int pixels;
  };
  const Case cases[] = {
      {5775, 96, 385},
      {2205, 96, 147},
      {255, 96, 17},
      {1950, 96, 130},
      {0, 96, 0},
      {7.5F, 96, 1},
      {7.4F, 96, 0},
      {-7.5F, 96, -1},
      {-255, 96, -17},
      {1950, 120, 163},
      {5775, 144, 578},
      {5775, 192, 770},
      {255, 72, 13},
      {1440, 300, 300},
      {14.9F, 96, 1},
      {std::numeric_limits<float>::quiet_NaN(), 96, 0},
      {255, 0, 0},
      {255, -96, 0},
      {std::numeric_limits<float>::infinity(), 96, 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(TwipsToPixels(c.twips, c.dpi), c.pixels) << c.twips << " twips at " << c.dpi << " dpi";
  }
  EXPECT_GT(TwipsToPixels(3e38F, 96), 1'000'000'000);
  EXPECT_LT(TwipsToPixels(-3e38F, 96), -1'000'000'000);
  EXPECT_EQ(TwipsPerPixel(96), 15.0F);
  EXPECT_EQ(TwipsPerPixel(192), 7.5F);
}

TEST(Form1LayoutTest, EveryControlIsNamedOnceAndTheTabOrderHasNoGaps) {
  std::set<std::string_view> names;
  std::set<int> tab_indexes;
  std::set<int> option_indexes;
  for (const ControlLayout& control : kForm1Controls) {
    EXPECT_TRUE(names.insert(control.object_name).second) << control.object_name;
    EXPECT_TRUE(tab_indexes.insert(control.tab_index).second) << control.object_name;
    if (control.kind == ControlKind::OptionButton) {
      EXPECT_TRUE(option_indexes.insert(control.index).second);
      EXPECT_EQ(control.object_name, "Option1_" + std::to_string(control.index));
    } else {
      EXPECT_EQ(control.index, -1) << control.object_name;
    }
    // Everything starts inside the client area at its creation size (the last option's box reaches
    // beyond its right edge, its caption does not).
    EXPECT_GE(control.left, 0);
    EXPECT_LT(control.left, kClientWidthTwips) << control.object_name;
    EXPECT_LE(control.top + control.height, kClientHeightTwips) << control.object_name;
  }
  EXPECT_EQ(*tab_indexes.begin(), 0);
  EXPECT_EQ(*tab_indexes.rbegin(), static_cast<int>(kForm1Controls.size()) - 1);
  EXPECT_EQ(option_indexes, (std::set<int>{0, 1, 2, 3}));
}

TEST(Form1LayoutTest, OptionButtonsMayGrowToTheirPitchWithoutTouchingEachOther) {
  std::set<int> tops;
  for (const ControlLayout& control : kForm1Controls) {
    if (control.kind == ControlKind::OptionButton) tops.insert(control.top);
  }
  int previous = -kOptionPitchTwips;
  for (int top : tops) {
    EXPECT_EQ(top - previous >= kOptionPitchTwips, true) << top;
    previous = top;
  }
}

}  // namespace
}  // namespace fernkartei::app
