#pragma once
// The window's one font: the system's message font (the dialog font of its theme) at the window's
// resolution. While a caption would be cut off, by its control or by the window's right edge, it gets
// smaller in half points, down to 7 points; a caption that still does not fit widens its control to the
// right. Nothing moves.

#include <windows.h>

#include <string>
#include <vector>

#include "app/form1_layout.h"

namespace fernkartei::app {

struct PlacedCaption {
  ControlKind kind;
  std::wstring caption;
  RECT place;  // pixels in the client area; widened or, for an option button, heightened to fit
};

// client_width: pixels. The caller owns the font.
HFONT FitCaptionFont(float dots_per_inch, int client_width, std::vector<PlacedCaption>& captions);

}  // namespace fernkartei::app
