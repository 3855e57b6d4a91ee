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

TEST(ProgramSettings, EachKeyWithItsDefault) {
  testing::ProgramFolder program;
  const ProgramSettings defaults = ReadProgramSettings(program.path().string());
  EXPECT_EQ(defaults.database_name, program / "vorwahlen.mdb");
  EXPECT_EQ(defaults.format, ExportFormat::Nfon);
  EXPECT_EQ(defaults.number_template, "I (V) N");
  EXPECT_EQ(defaults.participants, "11,12,15");
  EXPECT_EQ(ContactsFolderSetting(), "");
  program.WriteSettings(
      "DatabaseName=d.mdb\r\nTyp= 2 \r\nOutput=V-N\r\nTeilnehmer=21\r\nOutlook-Ordner=10\r\n");
  const ProgramSettings stored = ReadProgramSettings(program.path().string());
  EXPECT_EQ(stored.database_name, "d.mdb");
  EXPECT_EQ(stored.format, ExportFormat::Outlook);
  EXPECT_EQ(stored.number_template, "V-N");
  EXPECT_EQ(stored.participants, "21");
  EXPECT_EQ(ContactsFolderSetting(), "10");
  program.WriteSettings("Typ=02\r\n");
  EXPECT_EQ(ReadProgramSettings(program.path().string()).format, std::nullopt);
}

}  // namespace
}  // namespace fernkartei::exporting
