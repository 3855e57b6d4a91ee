// Every case folder of golden/, and the real vCards of tests/data/vcard, exported in each format whose
// file (nfon.csv, siemens.csv, outlook.csv, simple.csv) lies in the folder, with the shipped area codes and
// the participants and template of the system.ini in the folder (without one, the defaults): the file
// written must be that file byte for byte. A new case is a folder with a vCard and one expected file.

#include <gtest/gtest.h>

#include "contacts/contact_sources.h"
#include "export/export_run.h"
#include "export/program_settings.h"
#include "export/quiet_surroundings.h"
#include "fixtures/program_folder.h"
#include "support/file_helpers.h"

namespace fernkartei::exporting {
namespace {

namespace fs = std::filesystem;

std::vector<fs::path> CaseFolders() {
  std::vector<fs::path> folders{fs::path(FERNKARTEI_TEST_DATA) / "vcard"};
  for (const auto& entry : fs::directory_iterator(fs::path(FERNKARTEI_SOURCE_DIR) / "tests/export/golden"))
    if (entry.is_directory()) folders.push_back(entry.path());
  return folders;
}

TEST(Golden, EveryFolderGivesItsFiles) {
  testing::ProgramFolder program;
  program.Connect(testing::kShippedDatabase);
  std::vector<std::string> notes;
  const auto sources = contacts::MakeContactSourceFactory(
      program.path().string(), [&](const std::string& note) { notes.push_back(note); });
  std::size_t files = 0;
  for (const auto& folder : CaseFolders()) {
    std::error_code without_settings;
    fs::remove(program.path() / "system.ini");
    fs::copy(folder / "system.ini", program.path() / "system.ini", without_settings);
    const ProgramSettings settings = ReadProgramSettings(program.path().string());
    for (const auto& traits : kExportFormats) {
      const fs::path expected = folder / traits.file_name;
      if (!fs::exists(expected)) continue;
      ++files;
      QuietSurroundings surroundings;
      const RunOptions options{.output_path = program / traits.file_name,
                               .contacts_folder = support::Utf8FromPath(folder)};
      std::string number_template = settings.number_template;
      EXPECT_EQ(
          RunExport(traits.format, surroundings, sources, settings.participants, number_template, options),
          RunOutcome::Written);
      EXPECT_EQ(program.Read(traits.file_name), testing::ReadFile(expected)) << expected;
    }
  }
  EXPECT_GE(files, 8U);
  EXPECT_EQ(notes, std::vector<std::string>{}) << "these cards are well-formed: nothing may be passed over";
}

}  // namespace
}  // namespace fernkartei::exporting
