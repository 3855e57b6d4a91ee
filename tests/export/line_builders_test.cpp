#include "export/line_builders.h"

#include <gtest/gtest.h>

#include "fixtures/program_folder.h"

namespace fernkartei::exporting {
namespace {

// What each format makes of what no vCard can give (golden/ shows the rest): text that would break the
// line, participants and a template as typed.
TEST(LineBuilders, EveryFormatLineByLine) {
  testing::ProgramFolder program;
  program.Connect(testing::kShippedDatabase);
  struct Case {
    const char* what;
    std::string label, number, participants, number_template;
    std::string nfon, siemens, outlook, simple;
  };
  const Case cases[] = {
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
