// One export run over a scripted contact source: what the user sees, which file stays, what is recorded.
// What the formats make of real cards: golden_test.cpp.

#include "export/export_run.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <functional>
#include <ostream>

#include "fakes/failing_file_system.h"
#include "fakes/fake_contact_source.h"
#include "fakes/fake_surroundings.h"
#include "fixtures/program_folder.h"
#include "support/settings.h"

#if !defined(_WIN32)
#include <sys/stat.h>
#endif

namespace fernkartei::exporting {
namespace {

using fakes::Calls;
using fakes::FakeFolder;
using fakes::FakeItem;
using fakes::FileCall;
using support::ErrorNumber;

constexpr const char* kOutlookFailure = "Es ist ein Fehler beim öffnene von Outlook aufgetreten";
constexpr const char* kErrorOccurred = "Es ist ein Fehler aufgetreten";
constexpr const char* kOldFile = "displayName;destination\r\nAlt, Anton (BT);0711 1\r\n";

FakeItem Erika() {
  return {{{"LastNameAndFirstName", "Muster, Erika"}, {"MobileTelephoneNumber", "0151 7654321"}}};
}

class ExportRun : public ::testing::Test {
 protected:
  void SetUp() override {
    script.default_folders["10"].items = {Erika()};
    support::Write_INI("Fernkartei", "Outlook-Ordner", "10");
  }

  RunOutcome Run(ExportFormat format = ExportFormat::Simple) {
    options.output_path = output;
    return RunExport(format, surroundings, fakes::FactoryOf(script), participants, number_template, options);
  }

  // Open to the table of failures below, which arranges the run through these.
 public:
  testing::ProgramFolder folder;
  std::string output = folder / "simple.csv";
  fakes::FakeScript script;
  fakes::FakeSurroundings surroundings;
  RunOptions options;
  std::optional<fakes::FailingFileSystem> files;
  std::ostream broken_stream{nullptr};  // refuses every byte
  std::string participants = "11,12,15";
  std::string number_template = "I (V) N";
};

TEST_F(ExportRun, EndsWithTheCountTheHourglassGoneAndTheBarBackAtTheStart) {
  folder.Write("simple.csv", kOldFile);
  surroundings.pointer = 3;
  ASSERT_EQ(Run(), RunOutcome::Written);
  EXPECT_EQ(folder.Read("simple.csv"), "displayName;destination\r\nMuster, Erika (MT);0151 7654321\r\n");
  ASSERT_EQ(surroundings.messages.size(), 1U);
  EXPECT_EQ(surroundings.messages[0].text, "Fertig, 1 Adressen exportiert in \r\n" + output);
  EXPECT_EQ(surroundings.messages[0].icon, MessageIcon::None);
  EXPECT_EQ(surroundings.messages[0].progress, 100.0F);
  EXPECT_EQ(surroundings.value, 1.0F);
  // The hourglass shows from the file to the final message, then the earlier pointer is back.
  EXPECT_EQ(surroundings.messages[0].pointer, support::kHourglassPointer);
  EXPECT_EQ(surroundings.pointer_history, (std::vector<int>{support::kHourglassPointer, 3}));
  EXPECT_EQ(folder.Names(), (std::vector<std::string>{"simple.csv", "system.ini"}));
  // Sorted ascending by last name; the contact objects released from the items back to the namespace.
  EXPECT_EQ(Calls(script, "Sort"), std::vector<std::string>{"Sort [LastName] false"});
  EXPECT_EQ(Calls(script, "release"), (std::vector<std::string>{"release Items", "release Folder",
                                                                "release Application", "release Namespace"}));
}

// Each way a run fails: its message and icon, and the previous file and the folder as they were.
struct FailureCase {
  const char* what;
  std::function<void(ExportRun&)> arrange;
  std::string message;  // empty: the run ends without a message
  bool contacts_opened = true;
  ExportFormat format = ExportFormat::Simple;
  MessageIcon icon = MessageIcon::None;
};

std::function<void(ExportRun&)> Failing(const char* call) {
  return [call](ExportRun& r) { r.script.failing.insert(call); };
}
// No folder configured: the dialog gives this one, or nothing, while `call` fails.
std::function<void(ExportRun&)> Picking(std::optional<FakeFolder> folder, const char* call = "") {
  return [folder, call](ExportRun& r) {
    support::Write_INI("Fernkartei", "Outlook-Ordner", "");
    r.script.picked = folder;
    r.script.failing.insert(call);
  };
}
std::function<void(ExportRun&)> FileFails(FileCall call, ErrorNumber number) {
  return [call, number](ExportRun& r) { r.options.file_system = &r.files.emplace(call, number); };
}
// Something that is no regular file where the phonebook goes.
std::function<void(ExportRun&)> InPlaceOfTheFile(const std::function<void(const std::string&)>& make) {
  return [make](ExportRun& r) { std::filesystem::remove(r.output), make(r.output); };
}
const auto kNoParticipants = [](ExportRun& r) { r.participants.clear(); };
constexpr const char* kNoParticipantsGiven = "Fehler, keine Teilnehmer angegeben";

const FailureCase kFailureCases[] = {
    {"no participants for NFon", kNoParticipants, kNoParticipantsGiven, false, ExportFormat::Nfon},
    {"no participants for Siemens", kNoParticipants, kNoParticipantsGiven, false, ExportFormat::Siemens},
    {"a folder at the output", InPlaceOfTheFile([](auto& p) { std::filesystem::create_directory(p); }),
     kErrorOccurred, false},
#if !defined(_WIN32)
    {"a FIFO at the output", InPlaceOfTheFile([](auto& p) { ::mkfifo(p.c_str(), 0600); }), kErrorOccurred,
     false},
#endif
    {"no file may be created beside the old one", FileFails(FileCall::Open, ErrorNumber::PermissionDenied),
     kErrorOccurred},
    {"Outlook cannot be created", Failing("CreateApplication"), kOutlookFailure},
    {"no namespace", Failing("GetNamespace"), kOutlookFailure},
    {"folder not accepted", [](ExportRun&) { support::Write_INI("Fernkartei", "Outlook-Ordner", "99"); },
     kOutlookFailure},
    {"picker cancelled", Picking(std::nullopt), kOutlookFailure},
    {"picker fails", Picking(FakeFolder{}, "PickFolder"), kOutlookFailure},
    {"picked folder's default property fails", Picking(FakeFolder{}, "DefaultProperty"), kOutlookFailure},
    {"picked folder's default property is 0", Picking(FakeFolder{"0", kContactItemType, {}}), ""},
    {"item type fails", Picking(FakeFolder{}, "DefaultItemType"), kOutlookFailure},
    {"not a contacts folder", Picking(FakeFolder{"Posteingang", 0, {}}),
     "Bitte einen Kontakte-Ordner auswählen", true, ExportFormat::Simple, MessageIcon::Stop},
    {"items fail", Failing("Items"), kOutlookFailure},
    {"sort fails", Failing("Sort"), kOutlookFailure},
    {"enumeration breaks off", Failing("Next"), kErrorOccurred},
    {"output folder missing", [](ExportRun& r) { r.output = r.folder / "fehlt/simple.csv"; }, kErrorOccurred},
    {"a full disk", FileFails(FileCall::Write, ErrorNumber::DiskFull), kErrorOccurred},
    {"the new file cannot take the old one's place",
     FileFails(FileCall::Replace, ErrorNumber::PermissionDenied), kErrorOccurred},
    {"a stream that refuses the bytes", [](ExportRun& r) { r.options.output_stream = &r.broken_stream; },
     kErrorOccurred},
};

class ExportRunFailure : public ExportRun, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(ExportRunFailure, EndsWithItsMessageAndKeepsThePreviousFile) {
  const FailureCase& c = GetParam();
  folder.Write("simple.csv", kOldFile);
  c.arrange(*this);
  EXPECT_EQ(Run(c.format), RunOutcome::Failed);
  EXPECT_EQ(surroundings.Texts(), c.message.empty() ? std::vector<std::string>{} : std::vector{c.message});
  EXPECT_EQ(surroundings.messages.empty() ? c.icon : surroundings.messages[0].icon, c.icon);
  EXPECT_EQ(Calls(script, "CreateApplication").size(), c.contacts_opened ? 1U : 0U);
  if (std::filesystem::is_regular_file(folder.path() / "simple.csv")) {
    EXPECT_EQ(folder.Read("simple.csv"), kOldFile);
  }
  EXPECT_EQ(folder.Names(), (std::vector<std::string>{"simple.csv", "system.ini"}));
  EXPECT_EQ(surroundings.pointer, support::kDefaultPointer);
  EXPECT_EQ(support::Get_InI("Fernkartei", "OutlookFolder", "-"), "-");
}

// "picker cancelled" → "picker_cancelled", so that a failing case names itself.
INSTANTIATE_TEST_SUITE_P(Paths, ExportRunFailure, ::testing::ValuesIn(kFailureCases), [](const auto& info) {
  std::string name = info.param.what;
  std::replace_if(
      name.begin(), name.end(), [](unsigned char c) { return !std::isalnum(c); }, '_');
  return name;
});

TEST_F(ExportRun, OnlyAPickedFolderIsRecorded) {
  ASSERT_EQ(Run(), RunOutcome::Written);
  EXPECT_EQ(Calls(script, "GetDefaultFolder"), std::vector<std::string>{"GetDefaultFolder 10"});
  EXPECT_TRUE(Calls(script, "PickFolder").empty());
  EXPECT_EQ(support::Get_InI("Fernkartei", "OutlookFolder", "-"), "-");

  Picking(FakeFolder{"Kontakte (privat)", kContactItemType, {Erika()}})(*this);
  ASSERT_EQ(Run(), RunOutcome::Written);
  EXPECT_EQ(support::Get_InI("Fernkartei", "OutlookFolder", ""), "Kontakte (privat)");
  options.record_picked_folder = false;
  support::Write_INI("Fernkartei", "OutlookFolder", "");
  ASSERT_EQ(Run(), RunOutcome::Written);
  EXPECT_EQ(support::Get_InI("Fernkartei", "OutlookFolder", "-"), "-");
}

TEST_F(ExportRun, EmptyTemplateBecomesTheDefaultAndOnlyTwoFormatsNeedParticipants) {
  number_template.clear();
  participants.clear();
  for (const auto format : {ExportFormat::Outlook, ExportFormat::Simple})
    EXPECT_EQ(Run(format), RunOutcome::Written);
  EXPECT_EQ(number_template, "I (V) N");
}

// The lines of one contact in simple.csv: the label comes from the names, each number gives one line.
TEST_F(ExportRun, EachContactIsCountedAndLabelledByItsName) {
  const std::string N = "LastNameAndFirstName", F = "FirstName", L = "LastName",
                    PT = "PrimaryTelephoneNumber", BT = "BusinessTelephoneNumber", HT = "HomeTelephoneNumber",
                    MT = "MobileTelephoneNumber", OT = "OtherTelephoneNumber";
  const std::pair<FakeItem, std::string> cases[] = {
      {{{{N, "  "}, {F, "Anna"}, {MT, "1"}}}, "Anna (MT);1\r\n"},
      {{{{N, ""}, {F, "Anna"}, {L, "Berg"}, {HT, "2"}}}, "Anna Berg (HT);2\r\n"},
      {{{{N, ""}, {F, "   "}, {L, "Berg"}, {OT, "3"}}}, "Berg (OT);3\r\n"},
      {{{{N, ""}, {MT, "0151 1"}}}, "(MT);0151 1\r\n"},
      {{{{N, " Groß,  Jürgen "}, {F, "X"}, {PT, "4"}}}, "Groß,  Jürgen (PT);4\r\n"},  // kept as read
      // Without a readable full name, first and last name are not used.
      {{{{F, "Anna"}, {L, "Berg"}, {MT, "5"}}, {N}}, "(MT);5\r\n"},
      {{{{N, "C"}, {PT, "9"}, {HT, "9"}}}, "C (PT);9\r\nC (HT);9\r\n"},
      {{{{N, "D"}, {BT, "1"}, {MT, "2"}}, {BT}}, "D (MT);2\r\n"},  // an unreadable property costs its line
      {{{}, {}, true}, ""},                                        // no contact: counted, no line
      {{{{N, "F"}, {HT, "   "}}}, ""},
  };
  for (const auto& [item, lines] : cases) {
    script.default_folders["10"].items = {item};
    surroundings = {};
    ASSERT_EQ(Run(), RunOutcome::Written);
    EXPECT_EQ(folder.Read("simple.csv"), "displayName;destination\r\n" + lines);
    EXPECT_EQ(surroundings.messages.at(0).text.rfind("Fertig, 1 Adressen", 0), 0U);
  }
}

// The bar moves once per telephone entry, eight per item: 99 steps up to its maximum, then again from 1.
TEST_F(ExportRun, TheBarMovesOncePerTelephoneEntry) {
  script.default_folders["10"].items.assign(13, Erika());
  ASSERT_EQ(Run(), RunOutcome::Written);
  const auto& v = surroundings.values;
  EXPECT_EQ(std::vector(v.end() - 3, v.end()), (std::vector{5.0F, 100.0F, 1.0F}));
  EXPECT_EQ(surroundings.Texts().at(0).rfind("Fertig, 13 Adressen", 0), 0U);
}

}  // namespace
}  // namespace fernkartei::exporting
