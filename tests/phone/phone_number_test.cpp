#include "phone/phone_number.h"

#include <gtest/gtest.h>

#include <sstream>

#include "fixtures/program_folder.h"

namespace fernkartei::phone {
namespace {

using testing::MakeAreaCodeDatabase;
using testing::ProgramFolder;

// Each line of golden/<name>: an input, a tab, what `convert` must make of it. Lines from "#" on explain.
void ExpectEveryLine(const std::string& name, const std::function<std::string(const std::string&)>& convert) {
  std::istringstream lines(
      testing::ReadFile(std::string(FERNKARTEI_SOURCE_DIR) + "/tests/phone/golden/" + name));
  std::size_t cases = 0;
  for (std::string line; std::getline(lines, line);) {
    if (line.starts_with('#')) continue;
    const auto tab = line.find('\t');
    ASSERT_NE(tab, std::string::npos) << name << ": " << line;
    EXPECT_EQ(convert(line.substr(0, tab)), line.substr(tab + 1)) << name << ": " << line.substr(0, tab);
    ++cases;
  }
  EXPECT_GT(cases, 3U) << name;
}

TEST(PhoneNumber, CleaningAndFixedLengthsNeedNoDatabase) {
  ProgramFolder program;
  ExpectEveryLine("cleaning.txt", [](const std::string& raw) { return Clean_Phone_Number(raw); });
  // Database mode without a connection cuts like an empty table; fixed-length mode never asks one.
  ExpectEveryLine("empty-table.txt",
                  [](const std::string& raw) { return Format_Phone_Number(raw, true, "I (V) N"); });
  program.Connect(MakeAreaCodeDatabase(program, {"30"}));
  ExpectEveryLine("fixed-lengths.txt",
                  [](const std::string& raw) { return Format_Phone_Number(raw, false, "I (V) N"); });
  program.Connect(MakeAreaCodeDatabase(program, {}, "leer.mdb"));
  ASSERT_TRUE(Area_Table_Exists);
  ExpectEveryLine("empty-table.txt",
                  [](const std::string& raw) { return Format_Phone_Number(raw, true, "I (V) N"); });
}

TEST(PhoneNumber, DatabaseModeFindsTheLongestStoredAreaCode) {
  ProgramFolder program;
  program.Connect(MakeAreaCodeDatabase(program, {"30", "89", "441", "6221", "7071", "212", "2129"}));
  ASSERT_TRUE(Area_Table_Exists);
  ExpectEveryLine("database-mode.txt",
                  [](const std::string& raw) { return Format_Phone_Number(raw, true, "I (V) N"); });
  ExpectEveryLine("templates.txt",
                  [](const std::string& t) { return Format_Phone_Number("+49 30 1234567", true, t); });

  // What --explain shows of a number.
  const auto parts = SplitPhoneNumber("+49 (0) 6221 12345-6", true, &Find_Area_Code);
  ASSERT_TRUE(parts);
  EXPECT_EQ(std::tie(parts->database_mode, parts->area_code_by_fixed_length, parts->international_prefix,
                     parts->lookup_key, parts->area_code, parts->subscriber_number),
            std::make_tuple(true, false, "+49", "6221123456", "6221", "123456"));
  EXPECT_TRUE(SplitPhoneNumber("0171 1234567", true, &Find_Area_Code)->area_code_by_fixed_length);
  EXPECT_FALSE(SplitPhoneNumber("12345", false, &Find_Area_Code));
}

std::string Times(int n, const std::string& s) {
  std::string out;
  while (n-- > 0) out += s;
  return out;
}

TEST(PhoneNumber, TooLongFromTheLengthTheOldCounterOverflowedAt) {
  const std::string ae = "\xC3\xA4";            // one UTF-16 unit, two bytes
  const std::string clef = "\xF0\x9D\x84\x9E";  // two UTF-16 units, four bytes
  const std::pair<std::string, bool> cases[] = {
      {std::string(32766, '1'), true},
      {std::string(32767, '1'), false},
      {std::string(40000, '5'), false},
      // Counted in characters, not bytes: 32,763 characters in 65,519 bytes are still a number.
      {Times(32756, ae) + "0301234", true},
      {Times(32760, ae) + "0301234", false},
      // Characters beyond the 16-bit range count twice, as they did: 32,766 and 32,767 units.
      {Times(16380, clef) + "030123", true},
      {Times(16380, clef) + "0301234", false},
  };
  for (const auto& [raw, usable] : cases) {
    EXPECT_EQ(!Clean_Phone_Number(raw).empty(), usable) << raw.size() << " bytes";
    EXPECT_EQ(!Format_Phone_Number(raw, false, "I (V) N").empty(), usable) << raw.size() << " bytes";
  }
}

}  // namespace
}  // namespace fernkartei::phone
