// The export run against Outlook through the real COM path: the registered "Outlook.Application" double
// holds the folders of folders.txt and records every call it receives.

#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "com_doubles/journal.h"
#include "contacts/outlook/outlook_source.h"
#include "export/export_run.h"
#include "fakes/fake_surroundings.h"
#include "phone/area_code_database.h"
#include "support/process_state.h"
#include "support/settings.h"
#include "support/temp_folder.h"

namespace fernkartei::contacts {
namespace {

using exporting::ExportFormat;
using exporting::MessageIcon;
using exporting::RunOutcome;

constexpr const char* kOutlookFailure = "Es ist ein Fehler beim öffnene von Outlook aufgetreten";
constexpr const char* kOldFile = "displayName;destination\r\nAlt, Anton (BT);0711 1\r\n";

std::string SourceFile(const std::string& name) {
  std::ifstream in(std::string(FERNKARTEI_SOURCE_DIR) + "/tests/" + name, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Outlook, whatever the folder setting.
exporting::ContactSourceFactory Outlook(const std::string& prog_id = "Outlook.Application") {
  return [prog_id](const std::string&, const exporting::FolderPicker&) {
    return std::make_unique<OutlookSource>(prog_id);
  };
}

class OutlookExport : public ::testing::Test {
 protected:
  void SetUp() override {
    support::App_Title = "Fernkartei";
    support::INI_Path = folder / "system.ini";
    support::Write_INI("Fernkartei", "Outlook-Ordner", "11");
    folder.Write("simple.csv", kOldFile);
    _putenv(("FERNKARTEI_OUTLOOK_DOUBLE=" + scenario).c_str());
  }

  RunOutcome Run(const std::string& extra_directives = "",
                 const std::string& prog_id = "Outlook.Application") {
    folder.Write("folders.txt", SourceFile("windows/outlook/folders.txt") + extra_directives);
    exporting::RunOptions options;
    options.output_path = folder / "simple.csv";
    return exporting::RunExport(ExportFormat::Simple, surroundings, Outlook(prog_id), participants,
                                number_template, options);
  }
  std::vector<std::string> Journal(const std::string& prefix = "") const {
    std::vector<std::string> calls;
    for (const auto& line : testing::JournalLines(folder, "folders.txt.log"))
      if (line.rfind(prefix, 0) == 0) calls.push_back(line);
    return calls;
  }

 public:
  testing::TempFolder folder;
  std::string scenario = folder / "folders.txt";
  fakes::FakeSurroundings surroundings;
  std::string participants = "11,12,15";
  std::string number_template = "I (V) N";
};

TEST_F(OutlookExport, WritesTheFolderInOutlooksOrderWithEveryNumberAndName) {
  ASSERT_EQ(Run(), RunOutcome::Written);
  EXPECT_EQ(folder.Read("simple.csv"), SourceFile("windows/outlook/folder-11-simple.csv"));
  EXPECT_EQ(surroundings.Texts(),
            std::vector<std::string>{"Fertig, 8 Adressen exportiert in \r\n" + folder / "simple.csv"});
  EXPECT_EQ(Journal("Namespace.GetDefaultFolder"),
            std::vector<std::string>{"Namespace.GetDefaultFolder(11)"});
  EXPECT_EQ(Journal("Items.Sort"), std::vector<std::string>{"Items.Sort([LastName], False)"});
  auto releases = Journal("release ");
  std::erase(releases, "release Item");
  EXPECT_EQ(releases, (std::vector<std::string>{"release Items", "release Folder", "release Application",
                                                "release Namespace"}));
  EXPECT_TRUE(Journal("Application.Quit").empty());
  EXPECT_TRUE(Journal("Namespace.PickFolder").empty());
}

TEST_F(OutlookExport, EveryFormatOfTheWorkedExampleThroughItsExportProcedure) {
  support::Write_INI("Fernkartei", "Outlook-Ordner", "10");
  folder.Write("folders.txt", SourceFile("windows/outlook/folders.txt"));
  std::filesystem::create_directory(folder.path() / "documents");
  _putenv(("USERPROFILE=" + folder.path().string()).c_str());
  phone::DB_Connection =
      phone::OpenAreaCodeDatabase(phone::Jet4(std::string(FERNKARTEI_BIN_DIR) + "/vorwahlen.mdb"));
  phone::Area_Table_Exists = phone::ExistTabel(phone::DB_Connection.get(), "sVorwahlen");
  const struct {
    decltype(&exporting::Export_Nfon) run;
    const char* file;
  } formats[] = {{&exporting::Export_Nfon, "nfon.csv"},
                 {&exporting::Export_Siemens, "siemens.csv"},
                 {&exporting::Export_Outlook, "outlook.csv"},
                 {&exporting::Export_Simple, "simple.csv"}};
  for (const auto& format : formats) {
    EXPECT_EQ(format.run(surroundings, Outlook(), participants, number_template), RunOutcome::Written);
    EXPECT_EQ(folder.Read(std::string("documents/") + format.file),
              SourceFile(std::string("export/golden/") + format.file))
        << format.file;
  }
  phone::Area_Table_Exists = false;
  phone::DB_Connection.reset();
}

TEST_F(OutlookExport, APickedContactsFolderIsRecorded) {
  support::Write_INI("Fernkartei", "Outlook-Ordner", "");
  ASSERT_EQ(Run("pick 10\n"), RunOutcome::Written);
  EXPECT_EQ(support::Get_InI("Fernkartei", "OutlookFolder", ""), "Kontakte");
}

// Each way the run can end early with Outlook: its message, and the phonebook of the run before kept.
struct FailureCase {
  const char* what;
  const char* folder_setting;
  const char* directives;
  const char* prog_id;
  std::string message;  // empty: the run ends without a message
  MessageIcon icon;
};

class OutlookExportFailure : public OutlookExport, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(OutlookExportFailure, EndsWithItsMessageAndKeepsTheOldPhonebook) {
  const FailureCase& c = GetParam();
  support::Write_INI("Fernkartei", "Outlook-Ordner", c.folder_setting);
  EXPECT_EQ(Run(c.directives, c.prog_id), RunOutcome::Failed);
  EXPECT_EQ(surroundings.Texts(), c.message.empty() ? std::vector<std::string>{} : std::vector{c.message});
  if (!c.message.empty()) {
    EXPECT_EQ(surroundings.messages[0].icon, c.icon);
  }
  EXPECT_EQ(folder.Read("simple.csv"), kOldFile);
  EXPECT_EQ(support::Get_InI("Fernkartei", "OutlookFolder", "-"), "-");
}

const FailureCase kFailureCases[] = {
    {"Outlook not installed", "10", "", "Fernkartei.KeinOutlook", kOutlookFailure, MessageIcon::None},
    {"no folder with that number", "99", "", "Outlook.Application", kOutlookFailure, MessageIcon::None},
    {"a folder text that is no number", "Kontakte", "", "Outlook.Application", kOutlookFailure,
     MessageIcon::None},
    {"folder dialog cancelled", "", "", "Outlook.Application", kOutlookFailure, MessageIcon::None},
    {"picked folder holds no contacts", "", "pick 20\nfolder 20 0 Posteingang\n", "Outlook.Application",
     "Bitte einen Kontakte-Ordner auswählen", MessageIcon::Stop},
    {"picked folder's default property is 0", "", "pick 21\nfolder 21 2 0\n", "Outlook.Application", "",
     MessageIcon::None},
    {"namespace refused", "10", "refuse Application.GetNamespace\n", "Outlook.Application", kOutlookFailure,
     MessageIcon::None},
    {"folder dialog fails", "", "refuse Namespace.PickFolder\n", "Outlook.Application", kOutlookFailure,
     MessageIcon::None},
    {"picked folder's name unreadable", "", "pick 10\nrefuse Folder.Name\n", "Outlook.Application",
     kOutlookFailure, MessageIcon::None},
    {"picked folder's item type unreadable", "", "pick 10\nrefuse Folder.DefaultItemType\n",
     "Outlook.Application", kOutlookFailure, MessageIcon::None},
    {"items refused", "10", "refuse Folder.Items\n", "Outlook.Application", kOutlookFailure,
     MessageIcon::None},
    {"sort refused", "10", "refuse Items.Sort\n", "Outlook.Application", kOutlookFailure, MessageIcon::None},
    {"enumeration refused", "10", "refuse Items._NewEnum\n", "Outlook.Application",
     "Es ist ein Fehler aufgetreten", MessageIcon::None},
    {"enumeration breaks off", "11", "fail-enumeration-after 3\n", "Outlook.Application",
     "Es ist ein Fehler aufgetreten", MessageIcon::None},
};

void PrintTo(const FailureCase& c, std::ostream* out) {
  *out << c.what;
}

INSTANTIATE_TEST_SUITE_P(Paths, OutlookExportFailure, ::testing::ValuesIn(kFailureCases),
                         [](const ::testing::TestParamInfo<FailureCase>& info) {
                           std::string name;
                           for (const char c : std::string(info.param.what))
                             name += std::isalnum(c) ? c : '_';
                           return name;
                         });

}  // namespace
}  // namespace fernkartei::contacts
