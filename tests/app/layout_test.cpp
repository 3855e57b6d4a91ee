#include <gtest/gtest.h>

#include <limits>
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

}  // namespace
}  // namespace fernkartei::app
