#pragma once
// Where Form1's controls sit, in twips relative to the client area, with their captions and tab order:
// the layout people know from the old program.

#include <array>
#include <string_view>

#include "export/export_format.h"

namespace fernkartei::app {

inline constexpr float kTwipsPerInch = 1440.0F;
inline constexpr int kClientWidthTwips = 5775;
inline constexpr int kClientHeightTwips = 2205;

enum class ControlKind { Label, TextBox, PushButton, ProgressBar, OptionButton };

struct ControlLayout {
  std::string_view object_name;  // the toolkit's object name; Option1 carries its index: "Option1_2"
  ControlKind kind;
  int index;                 // Option1 index, -1 for the others
  std::string_view caption;  // UTF-8
  int left, top, width, height;
  int tab_index;
};

inline constexpr std::array<ControlLayout, 17> kForm1Controls = {{
    {"Label1", ControlKind::Label, -1, "Output-Format:", 120, 150, 1395, 255, 0},
    {"Text1", ControlKind::TextBox, -1, "I (V) N", 1680, 120, 2175, 315, 1},
    {"Label2", ControlKind::Label, -1, "Legende", 120, 480, 855, 255, 2},
    {"Label3", ControlKind::Label, -1, "I", 1080, 480, 255, 315, 3},
    {"Label4", ControlKind::Label, -1, "V", 1080, 780, 255, 315, 4},
    {"Label5", ControlKind::Label, -1, "N", 1080, 1080, 255, 315, 5},
    {"Label6", ControlKind::Label, -1, "= internationale Vorwahl", 1380, 480, 2175, 315, 6},
    {"Label7", ControlKind::Label, -1, "= Ortnetzkennzahl", 1380, 780, 2235, 315, 7},
    {"Label8", ControlKind::Label, -1, "= Telefonnummer", 1380, 1080, 2235, 315, 8},
    {"Command1", ControlKind::PushButton, -1, "Start", 4140, 120, 1515, 375, 9},
    {"ProgressBar1", ControlKind::ProgressBar, -1, "", 0, 1920, 5715, 255, 10},
    {"Option1_0", ControlKind::OptionButton, 0, exporting::kExportFormats[0].caption, 4140, 600, 1095, 195,
     11},
    {"Option1_1", ControlKind::OptionButton, 1, exporting::kExportFormats[1].caption, 4140, 840, 1095, 195,
     12},
    {"Text2", ControlKind::TextBox, -1, "I (V) N", 1680, 1440, 2175, 315, 13},
    {"Label9", ControlKind::Label, -1, "Teilnehmer:", 120, 1470, 1395, 255, 14},
    {"Option1_2", ControlKind::OptionButton, 2, exporting::kExportFormats[2].caption, 4140, 1080, 1575, 195,
     15},
    {"Option1_3", ControlKind::OptionButton, 3, exporting::kExportFormats[3].caption, 4140, 1320, 1875, 195,
     16},
}};

// The option buttons stand 240 twips apart; a button may grow to that height to fit its font.
inline constexpr int kOptionPitchTwips = 240;

// Twips in one pixel at a logical resolution: 15 at 96 dpi.
constexpr float TwipsPerPixel(float dots_per_inch) {
  return kTwipsPerInch / dots_per_inch;
}

// The pixel a twips coordinate falls on, rounded to the nearest (halves away from zero); negative coordinates
// stay negative.
int TwipsToPixels(float twips, float dots_per_inch);

}  // namespace fernkartei::app
