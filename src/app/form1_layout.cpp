#include "app/form1_layout.h"

#include <cmath>
#include <limits>

namespace fernkartei::app {

int TwipsToPixels(float twips, float dots_per_inch) {
  if (!(dots_per_inch > 0.0F) || !std::isfinite(twips)) return 0;
  const double pixels = std::round(static_cast<double>(twips) / TwipsPerPixel(dots_per_inch));
  // Far outside any screen: pin instead of overflowing an int.
  constexpr double kLimit = std::numeric_limits<int>::max() / 2.0;
  if (pixels > kLimit) return static_cast<int>(kLimit);
  if (pixels < -kLimit) return static_cast<int>(-kLimit);
  return static_cast<int>(pixels);
}

}  // namespace fernkartei::app
