#include "phone/area_code_database.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <random>
#include <sstream>

#include "fixtures/failure_number.h"
#include "fixtures/program_folder.h"
#include "phone/area_code_file_writer.h"
#include "phone/area_code_index.h"

namespace fernkartei::phone {
namespace {

using support::ErrorNumber;
using testing::MakeAreaCodeDatabase;
using testing::TempFolder;

TEST(Jet4, JoinsTheThreePiecesAndGivesThePathBack) {
  EXPECT_EQ(Jet4("D:\\Daten\\vorwahlen.mdb"),
            "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=D:\\Daten\\vorwahlen.mdb;Mode=ReadWrite|Share Deny "
            "None;Persist Security Info=FALSE;Jet OLEDB");
  for (const char* path : {"/opt/fernkartei/vorwahlen.mdb", "", "a;b;Mode=x.mdb", "/tmp/Vorwahlen Ä.mdb"})
    EXPECT_EQ(DataSourceOf(Jet4(path)), path) << path;
  EXPECT_EQ(DataSourceOf("DATA SOURCE=/tmp/y.mdb;Mode=Read"), "/tmp/y.mdb");  // written by hand
  EXPECT_EQ(DataSourceOf("Provider=Microsoft.Jet.OLEDB.4.0"), "");
}

TEST(AreaCodeIndex, LongestBeginningSharedWithAnyCode) {
  const AreaCodeIndex index({"30", "7071", "212", "2129", "89", "4a1", "+44"});
  const std::pair<const char*, const char*> cases[] = {
      {"301234567", "30"}, {"3", "3"},        {"71234", "7"},  {"707", "707"},  {"70711", "7071"},
      {"2129", "2129"},    {"21291", "2129"}, {"2128", "212"}, {"5", ""},       {"", ""},
      {"4", "4"},          {"41", "4"},       {"4a1", "4"},    {"+441", "+44"}, {"0301", ""},
  };
  for (const auto& [key, longest] : cases) EXPECT_EQ(index.LongestCodePrefix(key), longest) << key;
}

// Files a user might point DatabaseName at: the table test and the lookups answer what the queries the
// old program sent would answer.
TEST(OpenAreaCodeDatabase, AnswersAsItsQueriesWouldForTablesOfEveryShape) {
  const struct {
    const char* sql;
    bool table_exists;
    const char* key;
    const char* code;
  } cases[] = {
      {"CREATE TABLE Orte(Name TEXT)", false, "301", ""},
      {"CREATE TABLE sVorwahlen(Ortsnetzkennzahl TEXT)", true, "301", ""},
      {"CREATE TABLE sVorwahlen(Kennzahl TEXT); INSERT INTO sVorwahlen VALUES('30')", true, "301", ""},
      {"CREATE TABLE sVorwahlen(Ortsnetzkennzahl); INSERT INTO sVorwahlen VALUES(30),(NULL),(7071),('')",
       true, "70712", "7071"},
      {"CREATE TABLE SVORWAHLEN(ORTSNETZKENNZAHL TEXT); INSERT INTO SVORWAHLEN VALUES('89')", true, "891",
       "89"},
      {"CREATE TABLE sVorwahlen(Ortsnetzkennzahl TEXT); INSERT INTO sVorwahlen VALUES('3 0')", true, "30",
       "3"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.sql);
    testing::ProgramFolder program;  // start-up's state, fresh
    const std::string path = program / "user.db";
    sqlite3* db = nullptr;
    sqlite3_open(path.c_str(), &db);
    ASSERT_EQ(sqlite3_exec(db, c.sql, nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(db);
    program.Connect(path);
    EXPECT_EQ(Area_Table_Exists, c.table_exists);
    EXPECT_EQ(DB_Connection->LongestCodePrefix(c.key), c.code);
    EXPECT_EQ(FindAreaCodeByQueries(*DB_Connection, c.key), c.code);
  }
  TempFolder folder;
  const auto ours = OpenAreaCodeDatabase(Jet4(MakeAreaCodeDatabase(folder, {"30"})));
  EXPECT_TRUE(ExistTabel(ours.get(), "SVORWAHLEN"));  // table names ignore case, as in Access
  EXPECT_FALSE(ExistTabel(ours.get(), "Vorwahlen"));
  EXPECT_FALSE(ExistTabel(ours.get(), "sVorwahlen; DROP TABLE sVorwahlen"));
  EXPECT_FALSE(ExistTabel(nullptr, "sVorwahlen"));
}

TEST(OpenAreaCodeDatabase, RefusesWhatIsNoDatabaseWithAClearFailure) {
  TempFolder folder;
  std::filesystem::create_directory(folder.path() / "folder.mdb");
  const std::string shipped = testing::ReadFile(testing::kShippedDatabase);
  std::mt19937 random(7);
  std::string noise = shipped.substr(0, 100);
  while (noise.size() < shipped.size()) noise.push_back(static_cast<char>(random()));
  const auto unrecognized = ErrorNumber::UnrecognizedDatabaseFormat;
  const std::pair<std::string, ErrorNumber> cases[] = {
      {folder / "missing.mdb", ErrorNumber::FileNotFound},
      {"", ErrorNumber::BadFileNameOrNumber},
      {folder / "folder.mdb", ErrorNumber::PathFileAccessError},
      {folder.Write("text.mdb", "Ortsnetzkennzahl;Ortsnetzname\n30;Berlin\n"), unrecognized},
      {folder.Write("empty.mdb", ""), unrecognized},
      {folder.Write("cut1.mdb", shipped.substr(0, 100)), unrecognized},
      {folder.Write("cut2.mdb", shipped.substr(0, 4096)), unrecognized},
      {folder.Write("half.mdb", shipped.substr(0, shipped.size() / 2)), unrecognized},
      {folder.Write("cut3.mdb", shipped.substr(0, shipped.size() - 4096)), unrecognized},
      {folder.Write("noise.mdb", noise), unrecognized},
  };
  for (const auto& [path, number] : cases) {
    try {
      OpenAreaCodeDatabase(Jet4(path));
      ADD_FAILURE() << path << " opened";
    } catch (const support::Failure& failure) {
      EXPECT_EQ(failure.number(), testing::Number(number)) << path;
      EXPECT_NE(failure.description().find(path.empty() ? "keine" : path), std::string::npos) << path;
    }
  }
}

// Each line of golden/area-code-lists.txt: a list, with \r and \n for its line ends, a tab, and part of
// the error it gives ("-": accepted).
TEST(AreaCodeList, RefusesListsThatWouldShipWrongCodes) {
  std::istringstream lines(
      testing::ReadFile(std::string(FERNKARTEI_SOURCE_DIR) + "/tests/phone/golden/area-code-lists.txt"));
  for (std::string line; std::getline(lines, line);) {
    std::string text = line.substr(0, line.find('\t')), error = line.substr(line.find('\t') + 1);
    for (std::size_t at; (at = text.find('\\')) != std::string::npos;)
      text.replace(at, 2, text[at + 1] == 'r' ? "\r" : "\n");
    try {
      ParseAreaCodeList(text);
      EXPECT_EQ(error, "-") << "accepted: " << text;
    } catch (const AreaCodeFileError& e) {
      EXPECT_NE(std::string(e.what()).find(error), std::string::npos) << e.what();
    }
  }
  EXPECT_EQ(ParseAreaCodeList("Ortsnetzkennzahl;Ortsnetzname\n89;M\xC3\xBCnchen;Bayern\n"),
            (std::vector<AreaCodeRow>{{"89", "M\xC3\xBCnchen;Bayern"}}));
}

}  // namespace
}  // namespace fernkartei::phone
