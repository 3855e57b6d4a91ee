#include "app/progress_bar_properties.h"

#include <algorithm>
#include <cmath>

#include "app/form1_layout.h"

namespace fernkartei::app {
namespace {

const ControlLayout& ProgressBarLayout() {
  return *std::find_if(kForm1Controls.begin(), kForm1Controls.end(),
                       [](const ControlLayout& control) { return control.kind == ControlKind::ProgressBar; });
}

}  // namespace

ProgressBarProperties::ProgressBarProperties()
    : left_(static_cast<float>(ProgressBarLayout().left)),
      top_(static_cast<float>(ProgressBarLayout().top)),
      width_(static_cast<float>(ProgressBarLayout().width)),
      height_(static_cast<float>(ProgressBarLayout().height)) {}

float ProgressBarProperties::Get(ProgressProperty property) const {
  switch (property) {
    case ProgressProperty::Min:
      return min_;
    case ProgressProperty::Max:
      return max_;
    case ProgressProperty::Value:
      return value_;
    case ProgressProperty::Left:
      return left_;
    case ProgressProperty::Top:
      return top_;
    case ProgressProperty::Width:
      return width_;
    case ProgressProperty::Height:
      return height_;
  }
  return 0;
}

void ProgressBarProperties::Set(ProgressProperty property, float value) {
  switch (property) {
    case ProgressProperty::Min:
      min_ = value;
      break;
    case ProgressProperty::Max:
      max_ = value;
      break;
    case ProgressProperty::Value:
      value_ = value;
      break;
    case ProgressProperty::Left:
      left_ = value;
      break;
    case ProgressProperty::Top:
      top_ = value;
      break;
    case ProgressProperty::Width:
      width_ = value;
      break;
    case ProgressProperty::Height:
      height_ = value;
      break;
  }
}

float ProgressBarProperties::FilledShare() const {
  const float span = max_ - min_;
  const float share = span > 0 ? (value_ - min_) / span : 0.0F;
  return std::isfinite(share) ? std::clamp(share, 0.0F, 1.0F) : 0.0F;
}

}  // namespace fernkartei::app
