#include "export/line_builders.h"

#include <gtest/gtest.h>

#include "fixtures/program_folder.h"

namespace fernkartei::exporting {
namespace {

// What each format makes of the entries the worked examples (golden/) do not show.
TEST(LineBuilders, EveryFormatLineByLine) {
  testing::ProgramFolder program;
  program.Connect(testing::kShippedDatabase);
  struct Case {
    const char* what;
    std::string label, number, participants, number_template;
    std::string nfon, siemens, outlook, simple;
  };
  const Case cases[] = {
      {"empty number", "A (PT)", "", "1", "I (V) N", "", "", "", ""},
      {"blank number", "A (PT)", "   ", "1", "I (V) N", "", "", "", ""},
      {"number without digits", "A (PT)", "unbekannt", "1", "I (V) N", "", "", "", "A (PT);unbekannt"},
      {"label without a name is trimmed", " (MT)", " 0151 7654321 ", "1", "I (V) N",
       "(MT);+49 (151) 7654321;1;;", "(MT);+49 (151) 7654321;1", "(MT);+49 (151) 7654321",
       "(MT);0151 7654321"},
      {"participants of blanks are written as they are", "B (HT)", "030 1234567", "   ", "I (V) N",
       "B (HT);+49 (30) 1234567;   ;;", "B (HT);+49 (30) 1234567;   ", "B (HT);+49 (30) 1234567",
       "B (HT);030 1234567"},
      {"contact text keeps its columns", "Meier; Hans\r\n(BT)", "030;1234567\n", "11;12", "I (V) N",
       "Meier, Hans  (BT);+49 (30) 1234567;11;12;;", "Meier, Hans  (BT);+49 (30) 1234567;11;12",
       "Meier, Hans  (BT);+49 (30) 1234567", "Meier, Hans  (BT);030,1234567"},
      {"the template is written as typed", "C (BT)", "030 1234567", "1", "0V;N", "C (BT);030;1234567;1;;",
       "C (BT);030;1234567;1", "C (BT);030;1234567", "C (BT);030 1234567"},
  };
  for (const auto& c : cases) {
    const auto line = [&](LineBuilder build) {
      return build({c.label, c.number, c.participants, true, c.number_template});
    };
    EXPECT_EQ(line(&Build_Nfon_Line), c.nfon) << c.what;
    EXPECT_EQ(line(&Build_Siemens_Line), c.siemens) << c.what;
    EXPECT_EQ(line(&Build_Outlook_Line), c.outlook) << c.what;
    EXPECT_EQ(line(&Build_Simple_Line), c.simple) << c.what;
  }
}

}  // namespace
}  // namespace fernkartei::exporting
