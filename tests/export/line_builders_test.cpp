#include "export/line_builders.h"

#include <gtest/gtest.h>

#include "export/export_format.h"
#include "phone/area_code_database.h"

namespace fernkartei::exporting {
namespace {

// The shipped area-code database, opened as start-up opens it.
class LineBuilders : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    phone::DB_Connection =
        phone::OpenAreaCodeDatabase(phone::Jet4(std::string(FERNKARTEI_BIN_DIR) + "/vorwahlen.mdb"));
    ASSERT_TRUE(phone::ExistTabel(phone::DB_Connection.get(), "sVorwahlen"));
  }
  static void TearDownTestSuite() { phone::DB_Connection.reset(); }
};

struct Case {
  const char* what;
  std::string label;
  std::string number;
  std::string participants;
  std::string number_template;
  // Expected lines: nfon, siemens, outlook, simple.
  std::string nfon, siemens, outlook, simple;
};

TEST_F(LineBuilders, EveryFormatLineByLine) {
  const Case cases[] = {
      {"worked example, business", "Muster, Erika (BT)", "030 1234567", "11,12,15", "I (V) N",
       "Muster, Erika (BT);+49 (30) 1234567;11,12,15;;", "Muster, Erika (BT);+49 (30) 1234567;11,12,15",
       "Muster, Erika (BT);+49 (30) 1234567", "Muster, Erika (BT);030 1234567"},
      {"worked example, mobile", "Muster, Erika (MT)", "0151 7654321", "11,12,15", "I (V) N",
       "Muster, Erika (MT);+49 (151) 7654321;11,12,15;;", "Muster, Erika (MT);+49 (151) 7654321;11,12,15",
       "Muster, Erika (MT);+49 (151) 7654321", "Muster, Erika (MT);0151 7654321"},
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
      {"umlauts pass through", "Bäcker, Ännchen (HT)", "089 123456", "1", "I (V) N",
       "Bäcker, Ännchen (HT);+49 (89) 123456;1;;", "Bäcker, Ännchen (HT);+49 (89) 123456;1",
       "Bäcker, Ännchen (HT);+49 (89) 123456", "Bäcker, Ännchen (HT);089 123456"},
  };
  for (const auto& c : cases) {
    const auto args = [&](LineBuilder build) {
      return build({c.label, c.number, c.participants, true, c.number_template});
    };
    EXPECT_EQ(args(&Build_Nfon_Line), c.nfon) << c.what;
    EXPECT_EQ(args(&Build_Siemens_Line), c.siemens) << c.what;
    EXPECT_EQ(args(&Build_Outlook_Line), c.outlook) << c.what;
    EXPECT_EQ(args(&Build_Simple_Line), c.simple) << c.what;
  }
}

TEST(FormatTraits, FilesHeadersAndParticipantChecks) {
  struct Expected {
    ExportFormat format;
    std::string file, header;
    bool participants;
  };
  const Expected table[] = {
      {ExportFormat::Nfon, "nfon.csv", "displayName;destination;visibleFor;vpnTargetNumber;vpnProvider",
       true},
      {ExportFormat::Siemens, "siemens.csv", "displayName;destination;visibleFor", true},
      {ExportFormat::Outlook, "outlook.csv", "displayName;destination", false},
      {ExportFormat::Simple, "simple.csv", "displayName;destination", false},
  };
  for (const auto& e : table) {
    const FormatTraits& t = TraitsOf(e.format);
    EXPECT_EQ(t.file_name, e.file);
    EXPECT_EQ(t.header, e.header);
    EXPECT_EQ(t.participants_required, e.participants);
  }
}

}  // namespace
}  // namespace fernkartei::exporting
