// The export run on Windows: against Outlook through the real COM path (the registered
// "Outlook.Application" double holds the folders of folders.txt and records every call it receives),
// what it does with the old phonebook file, and where it writes.

#include <gtest/gtest.h>
#include <stdlib.h>
#include <windows.h>

#include <sstream>

#include "contacts/outlook/outlook_source.h"
#include "export/export_run.h"
#include "fakes/fake_surroundings.h"
#include "fixtures/program_folder.h"
#include "support/settings.h"
#include "support/windows/wide_text.h"

namespace fernkartei::contacts {
namespace {

using exporting::MessageIcon;
using exporting::RunOutcome;
using Lines = std::vector<std::string>;

const std::string kOutlookFolders = std::string(FERNKARTEI_SOURCE_DIR) + "/tests/windows/outlook/";
constexpr const char* kOutlookFailure = "Es ist ein Fehler beim öffnene von Outlook aufgetreten";
constexpr const char* kOldFile = "displayName;destination\r\nAlt, Anton (BT);0711 1\r\n";

class OutlookExport : public ::testing::Test {
 protected:
  void SetUp() override { folder.Write("simple.csv", kOldFile); }
  // simple.csv of the folder the setting names, with the directives added to folders.txt.
  RunOutcome Run(const std::string& folder_setting, const std::string& directives = "",
                 const std::string& prog_id = "Outlook.Application") {
    support::Write_INI("Fernkartei", "Outlook-Ordner", folder_setting);
    folder.Write("folders.txt", testing::ReadFile(kOutlookFolders + "folders.txt") + directives);
    std::filesystem::remove(folder.path() / "folders.txt.log");
    _putenv(("FERNKARTEI_OUTLOOK_DOUBLE=" + folder / "folders.txt").c_str());
    surroundings = {};
    exporting::RunOptions options;
    options.output_path = folder / "simple.csv";
    std::string number_template = "I (V) N";
    return exporting::RunExport(
        exporting::ExportFormat::Simple, surroundings,
        [&](const auto&, const auto&) { return std::make_unique<OutlookSource>(prog_id); }, "11,12,15",
        number_template, options);
  }
  // The calls of the last run the double recorded, those that start with the prefix.
  Lines Journal(const std::string& prefix) const {
    std::istringstream journal(folder.Read("folders.txt.log"));
    Lines calls;
    for (std::string line; std::getline(journal, line);)
      if (line.starts_with(prefix)) calls.push_back(line);
    return calls;
  }

  testing::ProgramFolder folder;
  const std::wstring output = support::WideFromUtf8(folder / "simple.csv");
  fakes::FakeSurroundings surroundings;
};

TEST_F(OutlookExport, WritesTheFolderInOutlooksOrderWithEveryNumberAndName) {
  ASSERT_EQ(Run("11"), RunOutcome::Written);
  EXPECT_EQ(folder.Read("simple.csv"), testing::ReadFile(kOutlookFolders + "folder-11-simple.csv"));
  EXPECT_EQ(surroundings.Texts(), Lines{"Fertig, 8 Adressen exportiert in \r\n" + folder / "simple.csv"});
  EXPECT_EQ(Journal("Namespace.GetDefaultFolder"), Lines{"Namespace.GetDefaultFolder(11)"});
  EXPECT_EQ(Journal("Items.Sort"), Lines{"Items.Sort([LastName], False)"});
  auto releases = Journal("release ");
  std::erase(releases, "release Item");
  EXPECT_EQ(releases, (Lines{"release Items", "release Folder", "release Application", "release Namespace"}));
  EXPECT_TRUE(Journal("GetIDsOfNames Application.Quit").empty());
  EXPECT_TRUE(Journal("Namespace.PickFolder").empty());
}

// Each way the run can end early: its message, and the phonebook of the run before kept. An old file held
// open ends it before Outlook is asked.
TEST_F(OutlookExport, EndsWithItsMessageAndKeepsTheOldPhonebook) {
  const struct {
    const char* folder_setting;
    const char* directives;
    const char* prog_id;
    const char* message;  // empty: the run ends without a message
    MessageIcon icon = MessageIcon::None;
    bool held_open = false;
  } cases[] = {
      {"10", "", "Fernkartei.KeinOutlook", kOutlookFailure},  // Outlook not installed
      {"99", "", "Outlook.Application", kOutlookFailure},     // no folder of that number
      {"Kontakte", "", "Outlook.Application", kOutlookFailure},
      {"", "", "Outlook.Application", kOutlookFailure},  // folder dialog cancelled
      {"", "pick 20\nfolder 20 0 Posteingang\n", "Outlook.Application",
       "Bitte einen Kontakte-Ordner auswählen", MessageIcon::Stop},
      {"", "pick 21\nfolder 21 2 0\n", "Outlook.Application", ""},  // default property 0
      {"11", "fail-enumeration-after 3\n", "Outlook.Application", "Es ist ein Fehler aufgetreten"},
      {"10", "", "Outlook.Application", "Es ist ein Fehler aufgetreten", MessageIcon::None, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.folder_setting) + " " + c.directives + c.prog_id);
    const HANDLE held = c.held_open
                            ? CreateFileW(output.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr)
                            : INVALID_HANDLE_VALUE;
    EXPECT_EQ(Run(c.folder_setting, c.directives, c.prog_id), RunOutcome::Failed);
    if (held != INVALID_HANDLE_VALUE) CloseHandle(held);
    EXPECT_EQ(surroundings.Texts(), *c.message ? Lines{c.message} : Lines{});
    EXPECT_TRUE(!*c.message || surroundings.messages[0].icon == c.icon);
    EXPECT_EQ(folder.Read("simple.csv"), kOldFile);
    EXPECT_EQ(support::Get_InI("Fernkartei", "OutlookFolder", "-"), "-");
    EXPECT_TRUE(!c.held_open || Journal("").empty());
  }
  // The folder picked in Outlook's dialog is recorded by its name; a write-protected old file is replaced
  // and loses its protection.
  ASSERT_TRUE(SetFileAttributesW(output.c_str(), FILE_ATTRIBUTE_READONLY));
  ASSERT_EQ(Run("", "pick 10\n"), RunOutcome::Written);
  EXPECT_EQ(support::Get_InI("Fernkartei", "OutlookFolder", ""), "Kontakte");
  EXPECT_EQ(folder.Read("simple.csv"), testing::ReadFile(std::string(FERNKARTEI_SOURCE_DIR) +
                                                         "/tests/export/golden/worked-example/simple.csv"));
  EXPECT_EQ(GetFileAttributesW(output.c_str()) & FILE_ATTRIBUTE_READONLY, 0u);
}

TEST(WindowsOutputPath, IsTheDocumentsFolderOfTheUserProfile) {
  const testing::ScopedEnvironment restored("USERPROFILE", nullptr);
  EXPECT_EQ(exporting::DefaultOutputPath(exporting::ExportFormat::Siemens), "\\documents\\siemens.csv");
  _wputenv_s(L"USERPROFILE", L"C:\\Users\\J\u00f6rg");  // read as the system keeps it, in UTF-16
  EXPECT_EQ(exporting::DefaultOutputPath(exporting::ExportFormat::Nfon),
            "C:\\Users\\J\xC3\xB6rg\\documents\\nfon.csv");
}

}  // namespace
}  // namespace fernkartei::contacts
