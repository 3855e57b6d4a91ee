// fernkartei-export as scripts run it: arguments in, exit status and both streams out, each run inside
// this process as if it were a fresh one. The built program itself runs in end_to_end_check.cmake, which
// also gives each format by its name.

#include "cli/command_line.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "contacts/contact_sources.h"
#include "fixtures/program_folder.h"

namespace fernkartei::cli {
namespace {

namespace fs = std::filesystem;

const std::string kWorkedExample = std::string(FERNKARTEI_SOURCE_DIR) + "/tests/export/golden/worked-example";
constexpr const char* kErrorOccurred = "Es ist ein Fehler aufgetreten\n";

struct Result {
  int status;
  std::string out;
  std::string err;
};

class CommandLine : public ::testing::Test {
 protected:
  void SetUp() override { fs::copy_file(testing::kShippedDatabase, program.path() / "vorwahlen.mdb"); }

  // With a settings file of the test's own, unless the arguments name one.
  Result Run(std::vector<std::string> arguments, std::ostream* out = nullptr) {
    testing::ClearProcessState();
    if (std::find(arguments.begin(), arguments.end(), "--settings") == arguments.end())
      arguments.insert(arguments.begin(), {"--settings", program / "system.ini"});
    std::ostringstream own_out, err;
    const auto sources = [&](const std::optional<std::string>& certificate_file, exporting::NoteSink notes) {
      return contacts::MakeContactSourceFactory(program.path().string(), std::move(notes), certificate_file);
    };
    const int status =
        RunCommandLine(arguments, program.path().string(), sources, {out ? *out : own_out, err, false});
    return {status, own_out.str(), err.str()};
  }

  testing::ProgramFolder program;
};

TEST_F(CommandLine, WhatNoOptionGivesComesFromTheSettingsOfTheDesktopProgram) {
  const std::pair<std::string, std::string> cases[] = {
      {"3", "displayName;destination\r\nMuster, Erika (BT);030 1234567\r\n"},
      {"1", "displayName;destination;visibleFor\r\nMuster, Erika (BT);30-1234567;21\r\n"},
      {"7",
       "displayName;destination;visibleFor;vpnTargetNumber;vpnProvider\r\nMuster, Erika "
       "(BT);30-1234567;21;;\r\n"},
  };
  for (const auto& [typ, start] : cases) {
    program.WriteSettings("Typ=" + typ +
                          "\r\nOutput=V-N\r\nTeilnehmer=21\r\nOutlook-Ordner=" + kWorkedExample + "\r\n");
    const std::string settings = program.Settings();
    const Result r = Run({"--output", program / "out.csv"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "Fertig, 1 Adressen exportiert in \n" + (program / "out.csv") + "\n");
    EXPECT_EQ(program.Read("out.csv").rfind(start, 0), 0U) << "Typ=" << typ << "\n"
                                                           << program.Read("out.csv");
    EXPECT_EQ(program.Settings(), settings) << "the settings file must stay untouched";
  }
  const Result options =
      Run({"--template", "N", "--participants", "", "--format", "outlook", "--output", "-"});
  EXPECT_EQ(options.out,
            "displayName;destination\r\nMuster, Erika (BT);1234567\r\nMuster, Erika (MT);7654321\r\n");
  EXPECT_EQ(Run({"--participants", "", "--format", "siemens", "--output", "-"}).err,
            "Fehler, keine Teilnehmer angegeben\n");
}

TEST_F(CommandLine, StandardOutputCarriesOnlyTheExport) {
  const Result r = Run({"--format", "simple", "--contacts", kWorkedExample, "--output", "-"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, testing::ReadFile(kWorkedExample + "/simple.csv"));
  EXPECT_EQ(r.err, "Fertig, 1 Adressen exportiert in \nStandardausgabe\n");
  std::ostringstream full;
  full.setstate(std::ios::badbit);
  EXPECT_EQ(Run({"--contacts", kWorkedExample, "--output", "-"}, &full).err, kErrorOccurred);
}

TEST_F(CommandLine, FailuresEndWithTheirStatusAndMessage) {
  struct Case {
    std::vector<std::string> arguments;
    int status;
    std::string message_end;
  };
  const Case cases[] = {
      {{"--format", "simple", "--output", program / "x.csv"},
       1,
       "Outlook-Ordnernummer wie 10).\nEs ist ein Fehler beim öffnene von Outlook aufgetreten\n"},
      {{"--contacts", kWorkedExample, "--output", program / "fehlt/x.csv"}, 1, kErrorOccurred},
      {{"--contacts", kWorkedExample, "--database", program / "fehlt.mdb", "--output", program / "x.csv"},
       1,
       "Fehler 53: Die Vorwahl-Datenbank " + (program / "fehlt.mdb") + " wurde nicht gefunden.\n"},
      {{"--explain", "030123", "--database", program / "fehlt.mdb"},
       1,
       "kann nicht geöffnet werden.\nFehler 53: Die Vorwahl-Datenbank " + (program / "fehlt.mdb") +
           " wurde nicht gefunden.\n"},
      {{"--unbekannt"}, 2, "Run with --help for more information.\n"},
  };
  for (const auto& c : cases) {
    const Result r = Run(c.arguments);
    EXPECT_EQ(r.status, c.status) << c.arguments.front();
    EXPECT_TRUE(r.err.ends_with(c.message_end)) << r.err;
    EXPECT_EQ(r.out, "");
    EXPECT_FALSE(fs::exists(program / "x.csv"));
  }
}

TEST_F(CommandLine, ExplainShowsHowOneNumberIsFormatted) {
  // A copy: on Windows the ADO double keeps its journal beside the file it opens.
  const std::string access = program.Write(
      "access.mdb", testing::ReadFile(std::string(FERNKARTEI_TEST_DATA) + "/access/testV2000.mdb"));
  program.Write("eigene.ini", "[Fernkartei]\r\nDatabaseName=" +
                                  testing::MakeAreaCodeDatabase(program, {"3012"}, "eigene.mdb") + "\r\n");
  const std::pair<std::vector<std::string>, std::vector<std::string>> cases[] = {
      {{"--explain", "0301234567", "--template", "I-V-N", "--settings", program / "eigene.ini"},
       {"Modus:                  Datenbank", "Ergebnis:               +49-3012-34567"}},
      {{"--explain", "0171 1234567"}, {"Ortsnetzkennzahl:       171 (nicht in der Datenbank, feste Länge)"}},
      {{"--explain", "12345", "--database", access},
       {"Modus:                  feste Längen",
        "Ergebnis:               (leer: keine verwendbare Rufnummer"}},
  };
  for (const auto& [arguments, lines] : cases) {
    const Result r = Run(arguments);
    EXPECT_EQ(r.status, 0) << r.err;
    for (const auto& line : lines) EXPECT_NE(r.out.find(line), std::string::npos) << line << "\n" << r.out;
  }
}

// What --strict does to a run is the export's to test; here, that the switch reaches it and the notes
// still go to standard error.
TEST_F(CommandLine, StrictReachesTheRun) {
  program.Write("karten/a.vcf", "BEGIN:VCARD\r\nVERSION:3.0\r\nN:Muster;Erika;;;\r\nTEL;CELL:0151 1\r\n");
  for (const bool strict : {true, false}) {
    std::vector<std::string> arguments{"--format",         "simple",   "--contacts",
                                       program / "karten", "--output", "-"};
    if (strict) arguments.push_back("--strict");
    const Result r = Run(arguments);
    EXPECT_EQ(r.status, strict ? 1 : 0) << r.err;
    EXPECT_NE(r.err.find("a.vcf: Karte ab Zeile 1: END:VCARD fehlt"), std::string::npos) << r.err;
  }
}

}  // namespace
}  // namespace fernkartei::cli
