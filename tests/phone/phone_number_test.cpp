#include "phone/phone_number.h"

#include <gtest/gtest.h>

#include "phone_test_support.h"

namespace fernkartei::phone {
namespace {

using testing::ConnectionScope;
using testing::MakeDatabase;
using testing::ScratchFolder;

struct Example {
  const char* raw;
  const char* cleaned;  // nullptr: not checked
  const char* result;
};

TEST(CleanPhoneNumber, KeepsOnlyPlusAndAsciiDigitsInOrder) {
  const Example cases[] = {
      {"", "", nullptr},
      {"Zentrale", "", nullptr},
      {"+49 (0) 6221 12345-6", "+4906221123456", nullptr},
      {"030 / 123 456-7", "0301234567", nullptr},
      {"12+34+", "12+34+", nullptr},
      {"Tel.: 0171/1234567 (privat)", "01711234567", nullptr},
      {"\xEF\xBC\x90\xEF\xBC\x91 12", "12", nullptr},  // full-width 0 and 1 are dropped
      {"\xD9\xA3\xD9\xA4 5", "5", nullptr},            // Arabic-Indic digits are dropped
      {"\xC2\xB2\xE2\x81\xBA 7", "7", nullptr},        // superscript two and superscript plus
      {"\xF0\x9F\x93\x9E 0 8 9", "089", nullptr},      // a telephone emoji
      {"\xEF\xBC\x8B"
       "49 30",
       "4930", nullptr},  // full-width plus is not "+"
  };
  for (const auto& c : cases) EXPECT_EQ(Clean_Phone_Number(c.raw), c.cleaned) << c.raw;
}

TEST(CleanPhoneNumber, FailsFromTheLengthTheOldCounterOverflowedAt) {
  struct Case {
    std::string raw;
    bool cleaned;
  };
  const std::string ae = "\xC3\xA4";            // one UTF-16 unit, two bytes
  const std::string clef = "\xF0\x9D\x84\x9E";  // two UTF-16 units, four bytes
  auto repeat = [](const std::string& s, int n) {
    std::string out;
    for (int i = 0; i < n; ++i) out += s;
    return out;
  };
  const Case cases[] = {
      {std::string(32766, '1'), true},
      {std::string(32767, '1'), false},
      {std::string(40000, '5'), false},
      // Counted in characters, not bytes: 32,763 characters in 65,519 bytes are still a number.
      {repeat(ae, 32756) + "0301234", true},
      {repeat(ae, 32760) + "0301234", false},
      // Characters beyond the 16-bit range count twice, as they did.
      {repeat(clef, 16380) + "030123", true},    // 32,766 units
      {repeat(clef, 16380) + "0301234", false},  // 32,767 units
  };
  for (const auto& c : cases) {
    EXPECT_EQ(!Clean_Phone_Number(c.raw).empty(), c.cleaned) << c.raw.size() << " bytes";
    EXPECT_EQ(!Format_Phone_Number(c.raw, false, "I (V) N").empty(), c.cleaned) << c.raw.size() << " bytes";
  }
}

class DatabaseMode : public ::testing::Test {
 protected:
  ScratchFolder folder_;
  ConnectionScope connection_{MakeDatabase(folder_, {"30", "89", "441", "6221", "7071", "212", "2129"})};
};

TEST_F(DatabaseMode, WorkedExamples) {
  const Example cases[] = {
      {"+49 30 1234567", "+49301234567", "+49 (30) 1234567"},
      {"030 / 123 456-7", "0301234567", "+49 (30) 1234567"},
      {"(0 89) 12 34 56", "089123456", "+49 (89) 123456"},
      {"0049 7071 123456", "00497071123456", "+49 (7071) 123456"},
      {"301234567", "301234567", "+49 (30) 1234567"},
      {"0171 1234567", "01711234567", "+49 (171) 1234567"},
      // The redundant trunk "0" after +49 is dropped before the lookup.
      {"+49 (0) 6221 12345-6", "+4906221123456", "+49 (6221) 123456"},
      {"+41 44 123 45 67", "+41441234567", "+41 (441) 234567"},
      {"+1 212 555 1234", "+12125551234", "+12 (125) 551234"},
      {"+49 30 1234567 Durchwahl 12", "+4930123456712", "+49 (30) 123456712"},
      {"71234", "71234", "+49 (7) 1234"},
      {"1234", "1234", "+49 (123) 4"},
      {"+49", "+49", "+49 () "},
      {"Zentrale", "", ""},
  };
  ASSERT_TRUE(Area_Table_Exists);
  for (const auto& c : cases) {
    EXPECT_EQ(Clean_Phone_Number(c.raw), c.cleaned) << c.raw;
    EXPECT_EQ(Format_Phone_Number(c.raw, true, "I (V) N"), c.result) << c.raw;
  }
}

TEST_F(DatabaseMode, TrunkZeroAndShortNumbers) {
  const Example cases[] = {
      {"0049 0 30 123", nullptr, "+49 (30) 123"},          // 00 route drops the trunk zero too
      {"+49 0 0 30 123", nullptr, "+49 (030) 123"},        // only one zero is dropped
      {"+39 06 1234 5678", nullptr, "+39 (061) 2345678"},  // other countries keep their "0"
      {"0039 06 12345", nullptr, "+39 (061) 2345"},
      {"+49 (0) 1234", nullptr, "+49 (123) 4"},
      {"+4", nullptr, ""},  // "+" needs three characters
      {"+", nullptr, ""},
      {"004", nullptr, ""},  // "00" needs four
      {"0049", nullptr, "+49 () "},
      {"0", nullptr, "+49 () "},
      {"7", nullptr, "+49 (7) "},
      {"5", nullptr, "+49 (5) "},             // no stored code begins with 5: fixed cut of a one-digit key
      {"2129 12", nullptr, "+49 (2129) 12"},  // codes that prefix others: the longer one wins
      {"212 55", nullptr, "+49 (212) 55"},
      {"212 99", nullptr, "+49 (2129) 9"},  // "2129" begins a stored code, so it is the longest match
      {"21 2", nullptr, "+49 (212) "},
      {"+49 6221", nullptr, "+49 (6221) "},  // the key is a whole code: no subscriber number
      {"+49 622", nullptr, "+49 (622) "},    // the key begins a code: all of it matches
  };
  for (const auto& c : cases) EXPECT_EQ(Format_Phone_Number(c.raw, true, "I (V) N"), c.result) << c.raw;
  EXPECT_EQ(Find_Area_Code("71234"), "7");
  EXPECT_EQ(Find_Area_Code("0301"), "");  // codes are stored without the trunk "0"
}

TEST_F(DatabaseMode, TemplateExamples) {
  struct Case {
    const char* number_template;
    const char* result;
  };
  const Case cases[] = {
      {"I-V-N", "+49-30-1234567"},
      {"IVN", "+49301234567"},
      {"Tel. I V N", "Tel. +49 30 1234567"},
      {"INTERN: V N", "+491234567TER1234567: 30 1234567"},
      {"i (v) n", "i (v) n"},
      {"keine Platzhalter", "keine Platzhalter"},
      {"NNVVII", "123456712345673030+49+49"},
      {"", ""},
      {"\xC3\x9C: I/V/N \xE2\x82\xAC", "\xC3\x9C: +49/30/1234567 \xE2\x82\xAC"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(Format_Phone_Number("+49 30 1234567", true, c.number_template), c.result) << c.number_template;
}

TEST(EmptyAreaTable, EveryLookupFallsBackToFixedCuts) {
  ScratchFolder folder;
  ConnectionScope connection(MakeDatabase(folder, {}));
  ASSERT_TRUE(Area_Table_Exists);
  const Example cases[] = {
      {"+49 30 1234567", nullptr, "+49 (3012) 34567"},
      {"0171 1234567", nullptr, "+49 (171) 1234567"},
      {"+49 (0) 6221 12345-6", nullptr, "+49 (6221) 123456"},
      {"+39 06 1234", nullptr, "+39 (061) 234"},
      {"12", nullptr, "+49 (12) "},
  };
  for (const auto& c : cases) EXPECT_EQ(Format_Phone_Number(c.raw, true, "I (V) N"), c.result) << c.raw;
}

TEST(FixedLengthMode, WorkedExamplesAndShortRests) {
  const Example cases[] = {
      {"+49 30 1234567", "+49301234567", "+49 (3012) 34567"},
      {"030 / 123 456-7", "0301234567", "+49 (3012) 34567"},
      {"301234567", "301234567", "+49 (3012) 34567"},
      {"0171 1234567", "01711234567", "+49 (171) 1234567"},
      {"+49 (0) 6221 12345-6", "+4906221123456", "+49 (622) 1123456"},
      {"0049 7071 123456", "00497071123456", "+49 (7071) 123456"},
      {"123456", "123456", "+49 (123) 456"},
      {"+49171", "+49171", "+49 (171) "},
      {"12345", "12345", ""},
      {"+49012", "+49012", ""},
      {"0049301", "0049301", ""},
      {"", "", ""},
      {"Zentrale", "", ""},
      {"+49 1", "+491", ""},     // shorter than six
      {"004917", "004917", ""},  // rest "17" too short for a 3-digit cut
      {"0049171", "0049171", "+49 (171) "},
      {"+490123", "+490123", "+49 (123) "},
      {"+41 44 1234", "+41441234", "+41 (4412) 34"},
      {"012345", "012345", "+49 (123) 45"},
      {"023456", "023456", "+49 (2345) 6"},
      {"0+1234", "0+1234", "+49 (+123) 4"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Clean_Phone_Number(c.raw), c.cleaned) << c.raw;
    EXPECT_EQ(Format_Phone_Number(c.raw, false, "I (V) N"), c.result) << c.raw;
  }
}

TEST(FixedLengthMode, NeverAsksTheDatabase) {
  ScratchFolder folder;
  ConnectionScope connection(MakeDatabase(folder, {"30"}));
  EXPECT_EQ(Format_Phone_Number("030 1234567", false, "I (V) N"), "+49 (3012) 34567");
}

TEST(DatabaseModeWithoutConnection, FallsBackLikeAnEmptyTable) {
  ASSERT_EQ(DB_Connection, nullptr);
  EXPECT_EQ(Format_Phone_Number("030 1234567", true, "I (V) N"), "+49 (3012) 34567");
  EXPECT_EQ(Format_Phone_Number("0171 1234567", true, "I (V) N"), "+49 (171) 1234567");
}

TEST(SplitPhoneNumber, PartsAgreeWithTheFormattedText) {
  ScratchFolder folder;
  ConnectionScope connection(MakeDatabase(folder, {"30", "6221"}));
  const auto parts = SplitPhoneNumber("+49 (0) 6221 12345-6", true, &Find_Area_Code);
  ASSERT_TRUE(parts);
  EXPECT_TRUE(parts->database_mode);
  EXPECT_EQ(parts->cleaned, "+4906221123456");
  EXPECT_EQ(parts->international_prefix, "+49");
  EXPECT_EQ(parts->lookup_key, "6221123456");
  EXPECT_EQ(parts->area_code, "6221");
  EXPECT_EQ(parts->subscriber_number, "123456");
  EXPECT_FALSE(parts->area_code_by_fixed_length);

  const auto mobile = SplitPhoneNumber("0171 1234567", true, &Find_Area_Code);
  ASSERT_TRUE(mobile);
  EXPECT_TRUE(mobile->area_code_by_fixed_length);
  EXPECT_FALSE(SplitPhoneNumber("12345", false, &Find_Area_Code));
}

}  // namespace
}  // namespace fernkartei::phone
