#include "export/program_settings.h"

#include <gtest/gtest.h>

#include "export/export_run.h"
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

TEST(DefaultOutputPath, FollowsTheUserProfileElseTheDocumentsFolder) {
  testing::TempFolder home;
  const std::string h = home.path().string();
  struct Case {
    const char* what;
    const char* profile;
    std::string user_dirs;  // empty: no such file
    ExportFormat format;
    std::string expected;
  };
  const Case cases[] = {
      {"profile without separator", "/home/erika", "", ExportFormat::Nfon, "/home/erika/documents/nfon.csv"},
      {"profile with separator", "/home/erika/", "", ExportFormat::Simple,
       "/home/erika/documents/simple.csv"},
      {"no profile, user dirs", nullptr, "XDG_DOCUMENTS_DIR=\"$HOME/Dokumente\"\n", ExportFormat::Siemens,
       h + "/Dokumente/siemens.csv"},
      {"no profile, documents switched off", nullptr, "XDG_DOCUMENTS_DIR=\"$HOME/\"\n", ExportFormat::Outlook,
       h + "/Documents/outlook.csv"},
      {"no profile, no user dirs", nullptr, "", ExportFormat::Nfon, h + "/Documents/nfon.csv"},
  };
  testing::ScopedEnvironment home_variable("HOME", h.c_str());
  testing::ScopedEnvironment config_variable("XDG_CONFIG_HOME", (h + "/config").c_str());
  for (const auto& c : cases) {
    testing::ScopedEnvironment profile("USERPROFILE", c.profile);
    home.Write("config/user-dirs.dirs", "# written by xdg-user-dirs-update\n" + c.user_dirs);
    EXPECT_EQ(DefaultOutputPath(c.format), c.expected) << c.what;
  }
}

}  // namespace
}  // namespace fernkartei::exporting
