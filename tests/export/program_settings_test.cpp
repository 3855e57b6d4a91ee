#include "export/program_settings.h"

#include <gtest/gtest.h>

#include "fixtures/program_folder.h"

namespace fernkartei::exporting {
namespace {

TEST(ProgramSettings, TypNamesAFormatOnlyAsExactlyOneDigit) {
  const std::pair<const char*, std::optional<ExportFormat>> cases[] = {
      {"0", ExportFormat::Nfon},   {"1", ExportFormat::Siemens}, {"2", ExportFormat::Outlook},
      {"3", ExportFormat::Simple}, {"02", std::nullopt},         {"00", std::nullopt},
      {" 2", std::nullopt},        {"4", std::nullopt},          {"-1", std::nullopt},
      {"x", std::nullopt},         {"", std::nullopt},
  };
  for (const auto& [typ, format] : cases) EXPECT_EQ(FormatFromTyp(typ), format) << typ;
  for (const auto& traits : kExportFormats) EXPECT_EQ(FormatFromTyp(TypOf(traits.format)), traits.format);
}

// Every key in one line: database|template|participants|Typ|folder.
TEST(ProgramSettings, EachKeyWithItsDefault) {
  testing::ProgramFolder program;
  const auto read = [&] {
    const ProgramSettings s = ReadProgramSettings(program.path().string());
    return s.database_name + "|" + s.number_template + "|" + s.participants + "|" +
           (s.format ? TypOf(*s.format) : "-") + "|" + ContactsFolderSetting();
  };
  EXPECT_EQ(read(), program / "vorwahlen.mdb" + "|I (V) N|11,12,15|0|");
  program.WriteSettings(
      "DatabaseName=d.mdb\r\nTyp= 2 \r\nOutput=V-N\r\nTeilnehmer=21\r\nOutlook-Ordner=10\r\n");
  EXPECT_EQ(read(), "d.mdb|V-N|21|2|10");
  program.WriteSettings("Typ=02\r\n");
  EXPECT_EQ(read(), program / "vorwahlen.mdb" + "|I (V) N|11,12,15|-|");
}

}  // namespace
}  // namespace fernkartei::exporting
