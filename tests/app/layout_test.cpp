#include <gtest/gtest.h>

#include <limits>
#include <set>
#include <string>

#include "app/form1_layout.h"

namespace fernkartei::app {
namespace {

TEST(TwipsToPixelsTest, RoundsToTheNearestPixelAtEveryResolution) {
  constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
  struct Case {
    float twips, dpi;
    int pixels;
  };
  const Case cases[] = {
      {5775, 96, 385},  {2205, 96, 147},  {1950, 96, 130},
      {7.5F, 96, 1},    {7.4F, 96, 0},    {-7.5F, 96, -1},
      {-255, 96, -17},  {1950, 120, 163}, {5775, 144, 578},
      {5775, 192, 770}, {255, 72, 13},    {kNaN, 96, 0},
      {255, 0, 0},      {255, -96, 0},    {std::numeric_limits<float>::infinity(), 96, 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(TwipsToPixels(c.twips, c.dpi), c.pixels) << c.twips << " twips at " << c.dpi << " dpi";
  }
  // Far beyond any screen the result pins instead of overflowing.
  EXPECT_GT(TwipsToPixels(3e38F, 96), 1'000'000'000);
  EXPECT_LT(TwipsToPixels(-3e38F, 96), -1'000'000'000);
}

TEST(Form1LayoutTest, EveryControlIsNamedOnceAndTheTabOrderHasNoGaps) {
  std::set<std::string_view> names;
  std::set<int> tab_indexes, option_indexes;
  for (const ControlLayout& control : kForm1Controls) {
    EXPECT_TRUE(names.insert(control.object_name).second) << control.object_name;
    tab_indexes.insert(control.tab_index);
    if (control.kind == ControlKind::OptionButton) {
      option_indexes.insert(control.index);
      EXPECT_EQ(control.object_name, "Option1_" + std::to_string(control.index));
    }
    EXPECT_LT(control.left, kClientWidthTwips) << control.object_name;
    EXPECT_LE(control.top + control.height, kClientHeightTwips) << control.object_name;
  }
  EXPECT_EQ(tab_indexes.size(), kForm1Controls.size());
  EXPECT_EQ(*tab_indexes.rbegin(), static_cast<int>(kForm1Controls.size()) - 1);
  EXPECT_EQ(option_indexes, (std::set<int>{0, 1, 2, 3}));
}

}  // namespace
}  // namespace fernkartei::app
