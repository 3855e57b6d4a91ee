#pragma once
// ProgressBar1 as the program sees it: range and value in single precision, position in twips, kept
// exactly as set and read back unchanged. The toolkit only draws from them.

#include "app/user_interface.h"

namespace fernkartei::app {

class ProgressBarProperties {
 public:
  // The control's own defaults (range 0 to 100, value 0) at its place in the layout.
  ProgressBarProperties();

  float Get(ProgressProperty property) const;
  void Set(ProgressProperty property, float value);

  // How much of the bar is filled, 0 to 1: Value within Min to Max. An empty or reversed range shows an
  // empty bar, a value outside the range an empty or a full one.
  float FilledShare() const;

  static bool IsPosition(ProgressProperty property) {
    return property != ProgressProperty::Min && property != ProgressProperty::Max &&
           property != ProgressProperty::Value;
  }

 private:
  float min_ = 0, max_ = 100, value_ = 0;
  float left_, top_, width_, height_;
};

}  // namespace fernkartei::app
