// fernkartei-export as scripts run it: a real process, real files, exit status and both output streams.

#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "support/temp_folder.h"

namespace fernkartei::cli {
namespace {

namespace fs = std::filesystem;

const std::string kProgram = std::string(FERNKARTEI_BIN_DIR) + "/fernkartei-export";

std::string Quoted(const std::string& argument) {
  std::string out = "'";
  for (const char c : argument) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return out + "'";
}

struct Result {
  int status;
  std::string out;
  std::string err;
};

class ExportCommand : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(folder.path() / "kontakte");
    folder.Write("kontakte/erika.vcf",
                 "BEGIN:VCARD\r\nVERSION:3.0\r\nN:Muster;Erika;;;\r\nFN:Erika Muster\r\n"
                 "TEL;TYPE=WORK,VOICE:030 1234567\r\nTEL;TYPE=CELL:0151 7654321\r\nEND:VCARD\r\n");
    settings = folder / "system.ini";
  }

  // Runs the program with a settings file of our own, so that no system.ini beside it is read.
  Result Run(std::vector<std::string> arguments, const std::string& as_user = "") {
    std::string command;
    if (!as_user.empty()) command = "runuser -u " + as_user + " -- ";
    command += Quoted(kProgram) + " --settings " + Quoted(settings);
    for (const auto& a : arguments) command += " " + Quoted(a);
    command += " >" + Quoted(folder / "stdout") + " 2>" + Quoted(folder / "stderr") + " </dev/null";
    const int raw = std::system(command.c_str());
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, folder.Read("stdout"), folder.Read("stderr")};
  }

  testing::TempFolder folder;
  std::string settings;
};

TEST_F(ExportCommand, WritesEachFormatOfTheWorkedExample) {
  struct Case {
    std::string format;
    std::string file;
  };
  const Case cases[] = {
      {"nfon",
       "displayName;destination;visibleFor;vpnTargetNumber;vpnProvider\r\n"
       "Muster, Erika (BT);+49 (30) 1234567;11,12,15;;\r\nMuster, Erika (MT);+49 (151) "
       "7654321;11,12,15;;\r\n"},
      {"siemens",
       "displayName;destination;visibleFor\r\n"
       "Muster, Erika (BT);+49 (30) 1234567;11,12,15\r\nMuster, Erika (MT);+49 (151) 7654321;11,12,15\r\n"},
      {"outlook",
       "displayName;destination\r\nMuster, Erika (BT);+49 (30) 1234567\r\nMuster, Erika (MT);+49 (151) "
       "7654321\r\n"},
      {"simple",
       "displayName;destination\r\nMuster, Erika (BT);030 1234567\r\nMuster, Erika (MT);0151 7654321\r\n"},
  };
  for (const auto& c : cases) {
    const std::string output = folder / (c.format + ".csv");
    const Result r = Run({"--format", c.format, "--contacts", folder / "kontakte", "--output", output});
    EXPECT_EQ(r.status, 0) << c.format << ": " << r.err;
    EXPECT_EQ(folder.Read(c.format + ".csv"), c.file) << c.format;
    EXPECT_EQ(r.out, "Fertig, 1 Adressen exportiert in \n" + output + "\n");
    EXPECT_EQ(r.err, "");
  }
}

TEST_F(ExportCommand, FallsBackToTheSettingsOfTheDesktopProgram) {
  struct Case {
    std::string typ;
    std::string expected_start;
  };
  const Case cases[] = {
      {"3", "displayName;destination\r\nMuster, Erika (BT);030 1234567\r\n"},
      {"1", "displayName;destination;visibleFor\r\nMuster, Erika (BT);30-1234567;21\r\n"},
      {"7",
       "displayName;destination;visibleFor;vpnTargetNumber;vpnProvider\r\nMuster, Erika "
       "(BT);30-1234567;21;;\r\n"},
  };
  for (const auto& c : cases) {
    const std::string ini = "[Fernkartei]\r\nTyp=" + c.typ +
                            "\r\nOutput=V-N\r\nTeilnehmer=21\r\nOutlook-Ordner=" + (folder / "kontakte") +
                            "\r\n";
    folder.Write("system.ini", ini);
    const Result r = Run({"--output", folder / "out.csv"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(folder.Read("out.csv").rfind(c.expected_start, 0), 0U) << "Typ=" << c.typ << "\n"
                                                                     << folder.Read("out.csv");
    EXPECT_EQ(folder.Read("system.ini"), ini) << "the settings file must stay untouched";
  }
}

TEST_F(ExportCommand, StandardOutputCarriesOnlyTheExport) {
  const Result r = Run({"--format", "simple", "--contacts", folder / "kontakte", "--output", "-"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(
      r.out,
      "displayName;destination\r\nMuster, Erika (BT);030 1234567\r\nMuster, Erika (MT);0151 7654321\r\n");
  EXPECT_NE(r.err.find("Fertig, 1 Adressen exportiert in"), std::string::npos);
}

TEST_F(ExportCommand, FailedRunsExitWithOneAndTheirMessage) {
  struct Case {
    const char* what;
    std::vector<std::string> arguments;
    std::string message;
  };
  const Case cases[] = {
      {"no participants", {"--format", "nfon", "--participants", ""}, "Fehler, keine Teilnehmer angegeben\n"},
      {"no contacts folder anywhere",
       {"--format", "simple"},
       "Outlook-Ordnernummer wie 10).\nEs ist ein Fehler beim öffnene von Outlook aufgetreten\n"},
      {"missing output folder",
       {"--format", "simple", "--output", folder / "fehlt/x.csv"},
       "Es ist ein Fehler aufgetreten\n"},
  };
  for (const auto& c : cases) {
    std::vector<std::string> arguments = c.arguments;
    if (std::string(c.what) != "no contacts folder anywhere") {
      arguments.insert(arguments.end(), {"--contacts", folder / "kontakte"});
    }
    if (std::string(c.what) != "missing output folder")
      arguments.insert(arguments.end(), {"--output", folder / "x.csv"});
    const Result r = Run(arguments);
    EXPECT_EQ(r.status, 1) << c.what;
    EXPECT_TRUE(r.err.size() >= c.message.size() &&
                r.err.compare(r.err.size() - c.message.size(), c.message.size(), c.message) == 0)
        << c.what << ": " << r.err;
    EXPECT_EQ(r.out, "") << c.what;
    EXPECT_FALSE(fs::exists(folder / "x.csv")) << c.what;
  }
}

TEST_F(ExportCommand, UsageErrorsExitWithTwo) {
  for (const auto& arguments :
       std::vector<std::vector<std::string>>{{"--format", "excel"}, {"--unbekannt"}}) {
    EXPECT_EQ(Run(arguments).status, 2) << arguments.front();
  }
}

TEST_F(ExportCommand, AMissingDatabaseEndsLikeTheDesktopStartUp) {
  const Result r = Run(
      {"--contacts", folder / "kontakte", "--database", folder / "fehlt.mdb", "--output", folder / "x.csv"});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("Fehler"), std::string::npos);
  EXPECT_FALSE(fs::exists(folder / "x.csv"));
}

// Many contacts, so that the file outgrows a tiny disk.
void WriteManyContacts(const testing::TempFolder& folder) {
  std::string cards;
  for (int i = 0; i < 400; ++i) {
    cards += "BEGIN:VCARD\r\nVERSION:3.0\r\nN:Nachname" + std::to_string(i) +
             ";Vorname;;;\r\nTEL;TYPE=WORK:030 1234567\r\nTEL;TYPE=CELL:0151 7654321\r\nEND:VCARD\r\n";
  }
  folder.Write("kontakte/viele.vcf", cards);
}

constexpr const char* kOldFile =
    "displayName;destination;visibleFor;vpnTargetNumber;vpnProvider\r\nAlt;1;2;;\r\n";

// What a failed write must leave: exit 1, the message, the old file byte for byte, nothing else.
void ExpectUntouched(const Result& r, const fs::path& target_folder) {
  EXPECT_EQ(r.status, 1) << r.err;
  EXPECT_NE(r.err.find("Es ist ein Fehler aufgetreten"), std::string::npos) << r.err;
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(target_folder))
    names.push_back(entry.path().filename().string());
  EXPECT_EQ(names, std::vector<std::string>{"nfon.csv"});
  std::ifstream in(target_folder / "nfon.csv", std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), kOldFile);
}

TEST_F(ExportCommand, AFullDiskKeepsThePreviousFile) {
  if (::geteuid() != 0) GTEST_SKIP() << "mounting a small disk needs root";
  const fs::path disk = folder.path() / "disk";
  fs::create_directories(disk);
  if (::mount("fernkartei-test", disk.c_str(), "tmpfs", 0, "size=16k") != 0)
    GTEST_SKIP() << "cannot mount tmpfs";
  // Unmounted however the test ends, so the temporary folder can go.
  const std::unique_ptr<const fs::path, void (*)(const fs::path*)> unmount(
      &disk, [](const fs::path* p) { ::umount(p->c_str()); });
  WriteManyContacts(folder);
  { std::ofstream(disk / "nfon.csv", std::ios::binary) << kOldFile; }
  const Result r =
      Run({"--format", "nfon", "--contacts", folder / "kontakte", "--output", (disk / "nfon.csv").string()});
  ExpectUntouched(r, disk);
}

TEST_F(ExportCommand, AFolderWithoutWritePermissionKeepsThePreviousFile) {
  if (::geteuid() != 0 || std::system("command -v runuser >/dev/null") != 0) {
    GTEST_SKIP() << "needs root and runuser to act as an unprivileged user";
  }
  const fs::path locked = folder.path() / "gesperrt";
  fs::create_directories(locked);
  { std::ofstream(locked / "nfon.csv", std::ios::binary) << kOldFile; }
  // The unprivileged user may read everything it needs, but may not write into the output folder.
  fs::permissions(folder.path(), fs::perms::all, fs::perm_options::add);
  fs::permissions(locked, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                              fs::perms::others_read | fs::perms::others_exec);
  fs::permissions(locked / "nfon.csv",
                  fs::perms::owner_read | fs::perms::owner_write | fs::perms::others_read);
  const Result r =
      Run({"--format", "nfon", "--contacts", folder / "kontakte", "--output", (locked / "nfon.csv").string()},
          "nobody");
  ExpectUntouched(r, locked);
}

}  // namespace
}  // namespace fernkartei::cli
