#include "app/win32/caption_font.h"

#include <algorithm>
#include <cmath>

namespace fernkartei::app {
namespace {

constexpr float kSmallestPointSize = 7.0F;
constexpr float kPointsPerInch = 72.0F;

// Pixels at 96 dpi beside the text: the radio button's circle and gap, the push button's frame.
constexpr int kOptionIndicatorRoom = 20;
constexpr int kOptionIndicatorSize = 13;
constexpr int kButtonFrameRoom = 16;

int Scaled(int pixels_at_96, float dots_per_inch) {
  return static_cast<int>(std::lround(static_cast<float>(pixels_at_96) * dots_per_inch / 96.0F));
}

// The system's message font at the given resolution; its size in points as the system chose it.
LOGFONTW MessageFont(float& points) {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof(metrics);
  LOGFONTW font{};
  if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0)) {
    font = metrics.lfMessageFont;
  } else {
    GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof(font), &font);
  }
  // The system gives it at the screen's resolution, which need not be the window's.
  HDC screen = GetDC(nullptr);
  const int system_dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  points = static_cast<float>(std::abs(font.lfHeight)) * kPointsPerInch / static_cast<float>(system_dpi);
  return font;
}

HFONT FontOfSize(LOGFONTW font, float points, float dots_per_inch) {
  font.lfHeight = -static_cast<LONG>(std::lround(points * dots_per_inch / kPointsPerInch));
  font.lfWidth = 0;
  return CreateFontIndirectW(&font);
}

int NeededWidth(HDC dc, const PlacedCaption& caption, float dots_per_inch) {
  SIZE text{};
  GetTextExtentPoint32W(dc, caption.caption.c_str(), static_cast<int>(caption.caption.size()), &text);
  switch (caption.kind) {
    case ControlKind::OptionButton:
      return text.cx + Scaled(kOptionIndicatorRoom, dots_per_inch);
    case ControlKind::PushButton:
      return text.cx + Scaled(kButtonFrameRoom, dots_per_inch);
    default:
      return text.cx;
  }
}

bool AllFit(HDC dc, const std::vector<PlacedCaption>& captions, int client_width, float dots_per_inch) {
  return std::all_of(captions.begin(), captions.end(), [&](const PlacedCaption& caption) {
    const int room = std::min(caption.place.right, static_cast<LONG>(client_width)) - caption.place.left;
    return NeededWidth(dc, caption, dots_per_inch) <= room;
  });
}

}  // namespace

HFONT FitCaptionFont(float dots_per_inch, int client_width, std::vector<PlacedCaption>& captions) {
  float preferred = 0;
  const LOGFONTW message_font = MessageFont(preferred);
  HDC dc = GetDC(nullptr);
  HFONT font = nullptr;
  for (float points = preferred;; points -= 0.5F) {
    if (font != nullptr) DeleteObject(font);
    font = FontOfSize(message_font, std::max(points, kSmallestPointSize), dots_per_inch);
    SelectObject(dc, font);
    if (points <= kSmallestPointSize || AllFit(dc, captions, client_width, dots_per_inch)) break;
  }

  TEXTMETRICW metrics{};
  GetTextMetricsW(dc, &metrics);
  const int pitch = TwipsToPixels(kOptionPitchTwips, dots_per_inch);
  for (PlacedCaption& caption : captions) {
    const int needed = NeededWidth(dc, caption, dots_per_inch);
    if (needed > caption.place.right - caption.place.left) caption.place.right = caption.place.left + needed;
    if (caption.kind != ControlKind::OptionButton) continue;
    // Option buttons are lower than their text in most fonts: they may grow to the distance between two
    // of them, centred on their place.
    const int wanted = std::min(
        pitch, std::max(static_cast<int>(metrics.tmHeight), Scaled(kOptionIndicatorSize, dots_per_inch)));
    const int height = caption.place.bottom - caption.place.top;
    if (wanted > height) {
      caption.place.top -= (wanted - height) / 2;
      caption.place.bottom = caption.place.top + wanted;
    }
  }
  SelectObject(dc, GetStockObject(SYSTEM_FONT));
  ReleaseDC(nullptr, dc);
  return font;
}

}  // namespace fernkartei::app
