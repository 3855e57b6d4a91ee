#include "export/export_run.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>

#include "export/line_builders.h"
#include "fakes/failing_file_system.h"
#include "fakes/fake_contact_source.h"
#include "fakes/fake_surroundings.h"
#include "phone/area_code_database.h"
#include "support/process_state.h"
#include "support/settings.h"
#include "support/temp_folder.h"

namespace fernkartei::exporting {
namespace {

using fakes::Contact;
using fakes::FakeContactSource;
using fakes::FakeFolder;
using fakes::FakeItem;
using fakes::FakeOperation;
using fakes::FakeSurroundings;

constexpr const char* kOutlookFailure = "Es ist ein Fehler beim öffnene von Outlook aufgetreten";
constexpr const char* kErrorOccurred = "Es ist ein Fehler aufgetreten";
constexpr const char* kOldFile = "displayName;destination\r\nAlt, Anton (BT);0711 1\r\n";

FakeItem Erika() {
  return Contact("Muster, Erika",
                 {{"BusinessTelephoneNumber", "030 1234567"}, {"MobileTelephoneNumber", "0151 7654321"}},
                 "Muster");
}

class ExportRun : public ::testing::Test {
 protected:
  void SetUp() override {
    support::App_Title = "Fernkartei";
    support::INI_Path = folder / "system.ini";
    contacts.script.default_folders["10"].items = {Erika()};
    support::Write_INI("Fernkartei", "Outlook-Ordner", "10");
  }

  RunOutcome Run(ExportFormat format = ExportFormat::Simple) {
    options.output_path = output;
    return RunExport(format, surroundings, contacts.Factory(), participants, number_template, options);
  }

  // Every entry of the folder other than system.ini and simple.csv: a leftover temporary file.
  std::vector<std::string> Leftovers() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder.path())) {
      const std::string name = entry.path().filename().string();
      if (name != "system.ini" && name != "simple.csv") names.push_back(name);
    }
    return names;
  }

  // Open to the table-driven cases below, which arrange the run through these.
 public:
  testing::TempFolder folder;
  std::string output = folder / "simple.csv";
  FakeContactSource contacts;
  FakeSurroundings surroundings;
  RunOptions options;
  std::string participants = "11,12,15";
  std::string number_template = "I (V) N";
};

TEST_F(ExportRun, SimpleFileOfTheWorkedExample) {
  folder.Write("simple.csv", kOldFile);
  surroundings.pointer = 3;
  ASSERT_EQ(Run(), RunOutcome::Written);
  EXPECT_EQ(folder.Read("simple.csv"),
            "displayName;destination\r\n"
            "Muster, Erika (BT);030 1234567\r\n"
            "Muster, Erika (MT);0151 7654321\r\n");
  ASSERT_EQ(surroundings.messages.size(), 1U);
  EXPECT_EQ(surroundings.messages[0].text, "Fertig, 1 Adressen exportiert in \r\n" + output);
  EXPECT_EQ(surroundings.messages[0].icon, MessageIcon::None);
  EXPECT_EQ(surroundings.messages[0].progress, 100.0F);
  EXPECT_EQ(surroundings.value, 1.0F);
  // The hourglass shows from the file to the final message, then the earlier pointer is back.
  EXPECT_EQ(surroundings.messages[0].pointer, support::kHourglassPointer);
  EXPECT_EQ(surroundings.pointer_history, (std::vector<int>{support::kHourglassPointer, 3}));
  EXPECT_TRUE(Leftovers().empty());
}

std::string GoldenFile(const std::string& name) {
  std::ifstream in(std::string(FERNKARTEI_SOURCE_DIR) + "/tests/export/golden/" + name, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST_F(ExportRun, WorkedExampleInEveryFormatWithTheShippedAreaCodes) {
  phone::DB_Connection =
      phone::OpenAreaCodeDatabase(phone::Jet4(std::string(FERNKARTEI_BIN_DIR) + "/vorwahlen.mdb"));
  phone::Area_Table_Exists = phone::ExistTabel(phone::DB_Connection.get(), "sVorwahlen");
  ASSERT_TRUE(phone::Area_Table_Exists);
  for (const auto format :
       {ExportFormat::Nfon, ExportFormat::Siemens, ExportFormat::Outlook, ExportFormat::Simple}) {
    const std::string name = TraitsOf(format).file_name;
    output = folder / name;
    ASSERT_EQ(Run(format), RunOutcome::Written) << name;
    EXPECT_EQ(folder.Read(name), GoldenFile(name)) << name;
  }
  phone::Area_Table_Exists = false;
  phone::DB_Connection.reset();
}

// Each failure path: the message, its icon, and that the previous file and the folder stay as they were.
struct FailureCase {
  const char* what;
  std::function<void(ExportRun&)> arrange;
  ExportFormat format;
  std::string message;  // empty: the run ends without a message
  MessageIcon icon;
  bool contacts_opened;
};

class ExportRunFailure : public ExportRun, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(ExportRunFailure, EndsWithItsMessageAndKeepsThePreviousFile) {
  const FailureCase& c = GetParam();
  folder.Write("simple.csv", kOldFile);
  c.arrange(*this);
  EXPECT_EQ(Run(c.format), RunOutcome::Failed);
  if (c.message.empty()) {
    EXPECT_TRUE(surroundings.messages.empty());
  } else {
    ASSERT_EQ(surroundings.Texts(), std::vector<std::string>{c.message});
    EXPECT_EQ(surroundings.messages[0].icon, c.icon);
  }
  EXPECT_EQ(contacts.Calls("CreateApplication").size(), c.contacts_opened ? 1U : 0U);
  std::error_code ignored;
  std::filesystem::permissions(output, std::filesystem::perms::owner_all, std::filesystem::perm_options::add,
                               ignored);
  if (std::filesystem::is_regular_file(output)) {
    EXPECT_EQ(folder.Read("simple.csv"), kOldFile);
  }
  EXPECT_TRUE(Leftovers().empty()) << Leftovers().front();
  EXPECT_EQ(surroundings.pointer, support::kDefaultPointer);
  EXPECT_EQ(support::Get_InI("Fernkartei", "OutlookFolder", "-"), "-");
}

void Fail(ExportRun& run, FakeOperation operation);

const FailureCase kFailureCases[] = {
    {"no participants for NFon", [](ExportRun& r) { r.participants.clear(); }, ExportFormat::Nfon,
     "Fehler, keine Teilnehmer angegeben", MessageIcon::None, false},
    {"no participants for Siemens", [](ExportRun& r) { r.participants.clear(); }, ExportFormat::Siemens,
     "Fehler, keine Teilnehmer angegeben", MessageIcon::None, false},
    {"a folder where the file should be",
     [](ExportRun& r) {
       std::filesystem::remove(r.output);
       std::filesystem::create_directory(r.output);
     },
     ExportFormat::Simple, kErrorOccurred, MessageIcon::None, false},
    {"Outlook cannot be created", [](ExportRun& r) { Fail(r, FakeOperation::CreateApplication); },
     ExportFormat::Simple, kOutlookFailure, MessageIcon::None, true},
    {"no namespace", [](ExportRun& r) { Fail(r, FakeOperation::GetNamespace); }, ExportFormat::Simple,
     kOutlookFailure, MessageIcon::None, true},
    {"folder not accepted", [](ExportRun&) { support::Write_INI("Fernkartei", "Outlook-Ordner", "99"); },
     ExportFormat::Simple, kOutlookFailure, MessageIcon::None, true},
    {"picker cancelled", [](ExportRun&) { support::Write_INI("Fernkartei", "Outlook-Ordner", ""); },
     ExportFormat::Simple, kOutlookFailure, MessageIcon::None, true},
    {"picker fails",
     [](ExportRun& r) {
       support::Write_INI("Fernkartei", "Outlook-Ordner", "");
       Fail(r, FakeOperation::PickFolder);
     },
     ExportFormat::Simple, kOutlookFailure, MessageIcon::None, true},
    {"picked folder's default property fails",
     [](ExportRun& r) {
       support::Write_INI("Fernkartei", "Outlook-Ordner", "");
       r.contacts.script.picked = FakeFolder{};
       Fail(r, FakeOperation::DefaultProperty);
     },
     ExportFormat::Simple, kOutlookFailure, MessageIcon::None, true},
    {"picked folder's default property is 0",
     [](ExportRun& r) {
       support::Write_INI("Fernkartei", "Outlook-Ordner", "");
       r.contacts.script.picked = FakeFolder{"0", kContactItemType, {}};
     },
     ExportFormat::Simple, "", MessageIcon::None, true},
    {"item type fails",
     [](ExportRun& r) {
       support::Write_INI("Fernkartei", "Outlook-Ordner", "");
       r.contacts.script.picked = FakeFolder{};
       Fail(r, FakeOperation::DefaultItemType);
     },
     ExportFormat::Simple, kOutlookFailure, MessageIcon::None, true},
    {"not a contacts folder",
     [](ExportRun& r) {
       support::Write_INI("Fernkartei", "Outlook-Ordner", "");
       r.contacts.script.picked = FakeFolder{"Posteingang", 0, {}};
     },
     ExportFormat::Simple, "Bitte einen Kontakte-Ordner auswählen", MessageIcon::Stop, true},
    {"items fail", [](ExportRun& r) { Fail(r, FakeOperation::Items); }, ExportFormat::Simple, kOutlookFailure,
     MessageIcon::None, true},
    {"sort fails", [](ExportRun& r) { Fail(r, FakeOperation::Sort); }, ExportFormat::Simple, kOutlookFailure,
     MessageIcon::None, true},
    {"enumeration breaks off", [](ExportRun& r) { Fail(r, FakeOperation::Next); }, ExportFormat::Simple,
     kErrorOccurred, MessageIcon::None, true},
    {"output folder missing", [](ExportRun& r) { r.output = r.folder / "fehlt/simple.csv"; },
     ExportFormat::Simple, kErrorOccurred, MessageIcon::None, true},
};

void Fail(ExportRun& run, FakeOperation operation) {
  run.contacts.script.failing.insert(operation);
}

// "picker cancelled" → "picker_cancelled", so that a failing case names itself.
template <typename Case>
std::string CaseName(const ::testing::TestParamInfo<Case>& info) {
  std::string name;
  for (const char c : std::string(info.param.what))
    name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
  return name + "_" + std::to_string(info.index);
}

INSTANTIATE_TEST_SUITE_P(Paths, ExportRunFailure, ::testing::ValuesIn(kFailureCases), CaseName<FailureCase>);

TEST_F(ExportRun, AFullDeviceEndsTheRunWithAnError) {
  std::FILE* full = std::fopen("/dev/full", "wb");
  if (full == nullptr) GTEST_SKIP() << "no /dev/full";
  options.output_stream = full;
  EXPECT_EQ(RunExport(ExportFormat::Simple, surroundings, contacts.Factory(), participants, number_template,
                      options),
            RunOutcome::Failed);
  std::fclose(full);
  EXPECT_EQ(surroundings.Texts(), std::vector<std::string>{kErrorOccurred});
}

// A failure in any step from the first byte to the file taking its place keeps the old file.
TEST_F(ExportRun, AFailingWriteOrCommitKeepsTheOldFile) {
  using fakes::FileCall;
  using support::ErrorNumber;
  const std::pair<FileCall, ErrorNumber> cases[] = {{FileCall::Write, ErrorNumber::DiskFull},
                                                    {FileCall::Flush, ErrorNumber::DiskFull},
                                                    {FileCall::Sync, ErrorNumber::DeviceIoError},
                                                    {FileCall::Close, ErrorNumber::DiskFull},
                                                    {FileCall::Replace, ErrorNumber::PermissionDenied}};
  for (const auto& [call, number] : cases) {
    SCOPED_TRACE(static_cast<int>(call));
    folder.Write("simple.csv", kOldFile);
    fakes::FailingFileSystem files(call, number);
    options.file_system = &files;
    surroundings = FakeSurroundings{};
    EXPECT_EQ(Run(), RunOutcome::Failed);
    EXPECT_EQ(surroundings.Texts(), std::vector<std::string>{kErrorOccurred});
    EXPECT_EQ(folder.Read("simple.csv"), kOldFile);
    EXPECT_TRUE(Leftovers().empty());
  }
}

TEST_F(ExportRun, PickedContactsFolderIsRecorded) {
  support::Write_INI("Fernkartei", "Outlook-Ordner", "");
  contacts.script.picked = FakeFolder{"Kontakte (privat)", kContactItemType, {Erika()}};
  ASSERT_EQ(Run(), RunOutcome::Written);
  EXPECT_EQ(support::Get_InI("Fernkartei", "OutlookFolder", ""), "Kontakte (privat)");
  EXPECT_EQ(contacts.Calls("GetDefaultFolder").size(), 0U);
}

TEST_F(ExportRun, ConfiguredFolderNeedsNoPickerAndRecordsNothing) {
  ASSERT_EQ(Run(), RunOutcome::Written);
  EXPECT_EQ(contacts.Calls("GetDefaultFolder"), std::vector<std::string>{"GetDefaultFolder 10"});
  EXPECT_TRUE(contacts.Calls("PickFolder").empty());
  EXPECT_TRUE(contacts.Calls("DefaultItemType").empty());
  EXPECT_EQ(support::Get_InI("Fernkartei", "OutlookFolder", "-"), "-");
}

TEST_F(ExportRun, SortsByLastNameAndReleasesInOrder) {
  ASSERT_EQ(Run(), RunOutcome::Written);
  EXPECT_EQ(contacts.Calls("Sort"), std::vector<std::string>{"Sort [LastName] false"});
  EXPECT_EQ(contacts.Calls("release"),
            (std::vector<std::string>{"release Items", "release Folder", "release Application",
                                      "release Namespace"}));
}

TEST_F(ExportRun, EmptyTemplateBecomesTheDefault) {
  number_template.clear();
  ASSERT_EQ(Run(), RunOutcome::Written);
  EXPECT_EQ(number_template, "I (V) N");
}

TEST_F(ExportRun, EmptyParticipantsAreFineForFormatsWithoutThem) {
  participants.clear();
  for (const auto format : {ExportFormat::Outlook, ExportFormat::Simple}) {
    contacts.script.default_folders["10"].items.clear();
    EXPECT_EQ(Run(format), RunOutcome::Written);
  }
  EXPECT_EQ(surroundings.messages.size(), 2U);
}

// The lines of one contact in simple.csv, label by label.
struct NameCase {
  const char* what;
  FakeItem item;
  std::string lines;
};

class ContactNames : public ExportRun, public ::testing::WithParamInterface<NameCase> {};

TEST_P(ContactNames, LabelTheLinesOfTheContact) {
  contacts.script.default_folders["10"].items = {GetParam().item};
  ASSERT_EQ(Run(), RunOutcome::Written);
  EXPECT_EQ(folder.Read("simple.csv"), "displayName;destination\r\n" + GetParam().lines);
  EXPECT_EQ(surroundings.messages.at(0).text.rfind("Fertig, 1 Adressen", 0), 0U);
}

FakeItem Item(std::map<std::string, std::string> properties, std::set<std::string> failing = {}) {
  return FakeItem{std::move(properties), std::move(failing), false};
}

const NameCase kNameCases[] = {
    {"first name only",
     Item({{"LastNameAndFirstName", "  "}, {"FirstName", "Anna"}, {"MobileTelephoneNumber", "1"}}),
     "Anna (MT);1\r\n"},
    {"first and last name",
     Item({{"LastNameAndFirstName", ""},
           {"FirstName", "Anna"},
           {"LastName", "Berg"},
           {"HomeTelephoneNumber", "2"}}),
     "Anna Berg (HT);2\r\n"},
    {"last name only",
     Item({{"LastNameAndFirstName", ""}, {"LastName", "Berg"}, {"OtherTelephoneNumber", "3"}}),
     "Berg (OT);3\r\n"},
    {"blank first name is ignored",
     Item({{"LastNameAndFirstName", ""},
           {"FirstName", "   "},
           {"LastName", "Berg"},
           {"OtherTelephoneNumber", "3"}}),
     "Berg (OT);3\r\n"},
    {"no name at all", Item({{"LastNameAndFirstName", ""}, {"MobileTelephoneNumber", "0151 1"}}),
     "(MT);0151 1\r\n"},
    {"full name kept as read, inner blanks too",
     Item({{"LastNameAndFirstName", " Groß,  Jürgen "}, {"FirstName", "X"}, {"PrimaryTelephoneNumber", "4"}}),
     "Groß,  Jürgen (PT);4\r\n"},
    {"unreadable full name: first and last name are not used",
     Item({{"FirstName", "Anna"}, {"LastName", "Berg"}, {"MobileTelephoneNumber", "5"}},
          {"LastNameAndFirstName"}),
     "(MT);5\r\n"},
    {"semicolon and line breaks in a name stay in their column",
     Item({{"LastNameAndFirstName", "Meier; Hans\r\nGmbH"}, {"BusinessTelephoneNumber", "6;7\n8"}}),
     "Meier, Hans  GmbH (BT);6,7 8\r\n"},
    {"every entry in its order",
     Item({{"LastNameAndFirstName", "A"},
           {"PrimaryTelephoneNumber", "1"},
           {"BusinessTelephoneNumber", "2"},
           {"Business2TelephoneNumber", "3"},
           {"HomeTelephoneNumber", "4"},
           {"Home2TelephoneNumber", "5"},
           {"MobileTelephoneNumber", "6"},
           {"CompanyMainTelephoneNumber", "7"},
           {"OtherTelephoneNumber", "8"}}),
     "A (PT);1\r\nA (BT);2\r\nA (BT2);3\r\nA (HT);4\r\nA (HT2);5\r\nA (MT);6\r\nA (CT);7\r\nA (OT);8\r\n"},
    {"second business number alone",
     Item({{"LastNameAndFirstName", "B"}, {"Business2TelephoneNumber", "030 9"}}), "B (BT2);030 9\r\n"},
    {"shared numbers are not merged",
     Item({{"LastNameAndFirstName", "C"}, {"PrimaryTelephoneNumber", "9"}, {"HomeTelephoneNumber", "9"}}),
     "C (PT);9\r\nC (HT);9\r\n"},
    {"a failing property read costs only its line",
     Item({{"LastNameAndFirstName", "D"}, {"BusinessTelephoneNumber", "1"}, {"MobileTelephoneNumber", "2"}},
          {"BusinessTelephoneNumber"}),
     "D (MT);2\r\n"},
    {"not a contact: counted, no line", FakeItem{{}, {}, true}, ""},
    {"no numbers: counted, no line", Item({{"LastNameAndFirstName", "E"}}), ""},
    {"blank number gives no line", Item({{"LastNameAndFirstName", "F"}, {"HomeTelephoneNumber", "   "}}), ""},
};

INSTANTIATE_TEST_SUITE_P(Names, ContactNames, ::testing::ValuesIn(kNameCases), CaseName<NameCase>);

TEST(StepProgress, RunsFromOneToTheMaximumAndStartsAgain) {
  struct Case {
    int items;
    float value;
  };
  const Case cases[] = {{0, 1}, {1, 9}, {12, 97}, {13, 5}, {25, 1}, {26, 9}};
  for (const auto& c : cases) {
    FakeSurroundings s;
    for (int step = 0; step < c.items * 8; ++step) Step_Progress(s);
    EXPECT_EQ(s.value, c.value) << c.items << " items";
  }
}

TEST_F(ExportRun, ProgressOfTheWorkedExample) {
  for (const int count : {12, 13}) {
    contacts.script.default_folders["10"].items.assign(static_cast<std::size_t>(count), Erika());
    surroundings = FakeSurroundings{};
    ASSERT_EQ(Run(), RunOutcome::Written);
    const auto& v = surroundings.values;
    ASSERT_GE(v.size(), 3U);
    EXPECT_EQ(v[v.size() - 3], count == 12 ? 97.0F : 5.0F);
    EXPECT_EQ(v[v.size() - 2], 100.0F);
    EXPECT_EQ(v.back(), 1.0F);
    EXPECT_EQ(surroundings.messages.at(0).text.rfind("Fertig, " + std::to_string(count) + " Adressen", 0),
              0U);
  }
}

}  // namespace
}  // namespace fernkartei::exporting
