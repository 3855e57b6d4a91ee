// Runs the built fernkartei-export --explain as a user would, against the shipped database.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <string>

#include "phone_test_support.h"

namespace fernkartei::phone {
namespace {

struct Run {
  int status;
  std::string output;
};

std::string Quoted(const std::string& text) {
  std::string out = "'";
  for (char c : text) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return out + "'";
}

Run RunExport(const std::string& arguments) {
  const std::string command =
      Quoted(std::string(FERNKARTEI_BIN_DIR) + "/fernkartei-export") + " " + arguments + " 2>&1";
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return {-1, ""};
  std::string output;
  std::array<char, 4096> chunk;
  while (const auto got = fread(chunk.data(), 1, chunk.size(), pipe)) output.append(chunk.data(), got);
  const int status = pclose(pipe);
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, output};
}

TEST(ExplainCommand, FormatsWithTheShippedDatabase) {
  testing::ScratchFolder folder;  // settings file that does not exist: defaults everywhere
  struct Case {
    const char* number;
    const char* result;
    const char* area_code;
  };
  const Case cases[] = {
      {"+49 (0) 6221 12345-6", "+49 (6221) 123456", "6221"},
      {"030 / 123 456-7", "+49 (30) 1234567", "30"},
      {"0171 1234567", "+49 (171) 1234567", "171"},
  };
  for (const auto& c : cases) {
    const auto run =
        RunExport("--explain " + Quoted(c.number) + " --settings " + Quoted(folder.File("system.ini")));
    EXPECT_EQ(run.status, 0) << run.output;
    EXPECT_NE(run.output.find("Modus:                  Datenbank\n"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find(std::string("Ergebnis:               ") + c.result + "\n"), std::string::npos)
        << run.output;
    EXPECT_NE(run.output.find(std::string("Ortsnetzkennzahl:       ") + c.area_code), std::string::npos)
        << run.output;
  }
}

TEST(ExplainCommand, TakesDatabaseAndTemplateFromOptionsOrSettings) {
  testing::ScratchFolder folder;
  const auto own = testing::MakeDatabase(folder, {"3012"});
  testing::WriteBytes(folder.File("system.ini"), "[Fernkartei]\r\nDatabaseName=" + own + "\r\n");
  const auto from_settings =
      RunExport("--explain 0301234567 --template 'I-V-N' --settings " + Quoted(folder.File("system.ini")));
  EXPECT_NE(from_settings.output.find("Ergebnis:               +49-3012-34567\n"), std::string::npos)
      << from_settings.output;
  const auto from_option = RunExport("--explain 0301234567 --database " + Quoted(testing::kShippedDatabase) +
                                     " --settings " + Quoted(folder.File("system.ini")));
  EXPECT_NE(from_option.output.find("Ergebnis:               +49 (30) 1234567\n"), std::string::npos)
      << from_option.output;
  const auto fixed =
      RunExport("--explain 0301234567 --database " + Quoted(testing::kAccessFolder + "testV2000.mdb"));
  EXPECT_EQ(fixed.status, 0);
  EXPECT_NE(fixed.output.find("Modus:                  feste L\xC3\xA4ngen\n"), std::string::npos)
      << fixed.output;
  EXPECT_NE(fixed.output.find("Ergebnis:               +49 (3012) 34567\n"), std::string::npos)
      << fixed.output;
}

TEST(ExplainCommand, DatabaseThatCannotBeOpenedEndsWithStatusOne) {
  testing::ScratchFolder folder;
  const auto run = RunExport("--explain 030123 --database " + Quoted(folder.File("fehlt.mdb")));
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.output.find("Die Vorwahl-Datenbank kann nicht ge\xC3\xB6"
                            "ffnet werden."),
            std::string::npos)
      << run.output;
  EXPECT_NE(run.output.find("fehlt.mdb"), std::string::npos) << run.output;
}

}  // namespace
}  // namespace fernkartei::phone
