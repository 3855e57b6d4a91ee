// The export run against Outlook through the real COM path: the registered "Outlook.Application" double
// holds the folders of folders.txt and records every call it receives.

#include <gtest/gtest.h>
#include <stdlib.h>

#include "com_doubles/journal.h"
#include "contacts/outlook/outlook_source.h"
#include "export/export_run.h"
#include "fakes/fake_surroundings.h"
#include "fixtures/program_folder.h"
#include "support/settings.h"

namespace fernkartei::contacts {
namespace {

using exporting::MessageIcon;
using exporting::RunOutcome;

constexpr const char* kOutlookFailure = "Es ist ein Fehler beim öffnene von Outlook aufgetreten";
constexpr const char* kOldFile = "displayName;destination\r\nAlt, Anton (BT);0711 1\r\n";

class OutlookExport : public ::testing::Test {
 protected:
  // simple.csv of the folder the setting names, with the directives added to folders.txt.
  RunOutcome Run(const std::string& folder_setting, const std::string& directives = "",
                 const std::string& prog_id = "Outlook.Application") {
    support::Write_INI("Fernkartei", "Outlook-Ordner", folder_setting);
    folder.Write("simple.csv", kOldFile);
    folder.Write("folders.txt", testing::ReadFile(std::string(FERNKARTEI_SOURCE_DIR) +
                                                  "/tests/windows/outlook/folders.txt") +
                                    directives);
    _putenv(("FERNKARTEI_OUTLOOK_DOUBLE=" + folder / "folders.txt").c_str());
    surroundings = fakes::FakeSurroundings{};
    exporting::RunOptions options;
    options.output_path = folder / "simple.csv";
    std::string number_template = "I (V) N";
    return exporting::RunExport(
        exporting::ExportFormat::Simple, surroundings,
        [&](const std::string&, const exporting::FolderPicker&) {
          return std::make_unique<OutlookSource>(prog_id);
        },
        "11,12,15", number_template, options);
  }
  std::vector<std::string> Journal(const std::string& prefix) const {
    std::vector<std::string> calls;
    for (const auto& line : testing::JournalLines(folder, "folders.txt.log"))
      if (line.starts_with(prefix)) calls.push_back(line);
    return calls;
  }

  testing::ProgramFolder folder;
  fakes::FakeSurroundings surroundings;
};

TEST_F(OutlookExport, WritesTheFolderInOutlooksOrderWithEveryNumberAndName) {
  ASSERT_EQ(Run("11"), RunOutcome::Written);
  EXPECT_EQ(folder.Read("simple.csv"), testing::ReadFile(std::string(FERNKARTEI_SOURCE_DIR) +
                                                         "/tests/windows/outlook/folder-11-simple.csv"));
  EXPECT_EQ(surroundings.Texts(),
            std::vector<std::string>{"Fertig, 8 Adressen exportiert in \r\n" + folder / "simple.csv"});
  EXPECT_EQ(Journal("Namespace.GetDefaultFolder"),
            std::vector<std::string>{"Namespace.GetDefaultFolder(11)"});
  EXPECT_EQ(Journal("Items.Sort"), std::vector<std::string>{"Items.Sort([LastName], False)"});
  auto releases = Journal("release ");
  std::erase(releases, "release Item");
  EXPECT_EQ(releases, (std::vector<std::string>{"release Items", "release Folder", "release Application",
                                                "release Namespace"}));
  EXPECT_TRUE(Journal("GetIDsOfNames Application.Quit").empty());
  EXPECT_TRUE(Journal("Namespace.PickFolder").empty());
}

// Each way the run can end early with Outlook: its message, and the phonebook of the run before kept.
TEST_F(OutlookExport, EndsWithItsMessageAndKeepsTheOldPhonebook) {
  const struct {
    const char* folder_setting;
    const char* directives;
    const char* prog_id;
    const char* message;  // empty: the run ends without a message
    MessageIcon icon;
  } cases[] = {
      {"10", "", "Fernkartei.KeinOutlook", kOutlookFailure, MessageIcon::None},  // Outlook not installed
      {"99", "", "Outlook.Application", kOutlookFailure, MessageIcon::None},     // no folder of that number
      {"Kontakte", "", "Outlook.Application", kOutlookFailure, MessageIcon::None},
      {"", "", "Outlook.Application", kOutlookFailure, MessageIcon::None},  // folder dialog cancelled
      {"", "pick 20\nfolder 20 0 Posteingang\n", "Outlook.Application",
       "Bitte einen Kontakte-Ordner auswählen", MessageIcon::Stop},
      {"", "pick 21\nfolder 21 2 0\n", "Outlook.Application", "", MessageIcon::None},  // default property 0
      {"11", "fail-enumeration-after 3\n", "Outlook.Application", "Es ist ein Fehler aufgetreten",
       MessageIcon::None},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.folder_setting) + " " + c.directives + c.prog_id);
    EXPECT_EQ(Run(c.folder_setting, c.directives, c.prog_id), RunOutcome::Failed);
    EXPECT_EQ(surroundings.Texts(),
              *c.message ? std::vector<std::string>{c.message} : std::vector<std::string>{});
    EXPECT_TRUE(!*c.message || surroundings.messages[0].icon == c.icon);
    EXPECT_EQ(folder.Read("simple.csv"), kOldFile);
    EXPECT_EQ(support::Get_InI("Fernkartei", "OutlookFolder", "-"), "-");
  }
  // The folder picked in Outlook's dialog is recorded by its name.
  ASSERT_EQ(Run("", "pick 10\n"), RunOutcome::Written);
  EXPECT_EQ(support::Get_InI("Fernkartei", "OutlookFolder", ""), "Kontakte");
}

}  // namespace
}  // namespace fernkartei::contacts
