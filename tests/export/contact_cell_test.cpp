// Text from a contact never changes the structure of the file, and no spreadsheet runs it as a formula.

#include <gtest/gtest.h>

#include <string>

#include "export/line_builders.h"

namespace fernkartei::exporting {
namespace {

TEST(ContactCell, KeepsTheLineAndTheColumnsWhateverTheContactHolds) {
  const std::pair<std::string, std::string> cases[] = {
      {std::string("Nul\0Tab\tBell\aDel\x7F!", 18), "Nul Tab Bell Del !"},
      {"Next\xC2\x85Line\xC2\x9F!", "Next Line !"},
      {"Line\xE2\x80\xA8Para\xE2\x80\xA9!", "Line Para !"},
      {"Umlaut \xC3\xA4 and U+00A0\xC2\xA0 stay", "Umlaut \xC3\xA4 and U+00A0\xC2\xA0 stay"},
      {"Broken \xC2", "Broken \xC2"},
      {"Say \"Hi\"; go", "Say 'Hi', go"},
      {"\x01\x02", ""},
      // Formulas lose their power; numbers as people write them reach the PBX unchanged.
      {"=HYPERLINK(\"http://x\") (PT)", "'=HYPERLINK('http://x') (PT)"},
      {"\t=1+2", "'=1+2"},
      {"\r\n@SUM(A1)", "'@SUM(A1)"},
      {"+cmd|' /C calc'", "'+cmd|' /C calc'"},
      {"-2+3+SUM (A1:A9)", "'-2+3+SUM (A1:A9)"},
      {"-Notdienst (BT)", "'-Notdienst (BT)"},
      {"+A1!B2", "'+A1!B2"},
      {" +49 (30) 123-45/6. ", "+49 (30) 123-45/6."},
      {"+44-555-555-5555;ext=5555", "+44-555-555-5555,ext=5555"},
      {"-030 1234", "-030 1234"},
      {"+ Notruf", "+ Notruf"},
      {"Meier = Chef", "Meier = Chef"},
  };
  for (const auto& [text, cell] : cases) EXPECT_EQ(ContactCell(text), cell) << text;
}

}  // namespace
}  // namespace fernkartei::exporting
