#include "phone/area_code_database.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <algorithm>
#include <random>
#include <set>

#include "phone/area_code_file_writer.h"
#include "phone/area_code_index.h"
#include "phone_test_support.h"
#include "support/failure.h"

namespace fernkartei::phone {
namespace {

using support::ErrorNumber;
using support::Failure;
using testing::MakeDatabase;
using testing::ReadBytes;
using testing::ScratchFolder;
using testing::WriteBytes;

TEST(Jet4, JoinsTheThreePiecesAndGivesThePathBack) {
  const char* paths[] = {"D:\\Daten\\vorwahlen.mdb", "/opt/fernkartei/vorwahlen.mdb", "", "a;b;Mode=x.mdb",
                         "/tmp/Vorwahlen Ä.mdb"};
  EXPECT_EQ(Jet4("D:\\Daten\\vorwahlen.mdb"),
            "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=D:\\Daten\\vorwahlen.mdb;Mode=ReadWrite|Share Deny "
            "None;Persist Security Info=FALSE;Jet OLEDB");
  for (const char* path : paths) EXPECT_EQ(DataSourceOf(Jet4(path)), path) << path;
  EXPECT_EQ(DataSourceOf("data source=/tmp/y.mdb;Mode=Read"), "/tmp/y.mdb");  // written by hand
  EXPECT_EQ(DataSourceOf("Provider=Microsoft.Jet.OLEDB.4.0"), "");
}

TEST(AreaCodeIndex, LongestBeginningSharedWithAnyCode) {
  const AreaCodeIndex index({"30", "7071", "212", "2129", "89", "4a1", "+44"});
  struct Case {
    const char* key;
    const char* longest;
  };
  const Case cases[] = {
      {"301234567", "30"}, {"3", "3"},        {"71234", "7"},  {"707", "707"},  {"70711", "7071"},
      {"2129", "2129"},    {"21291", "2129"}, {"2128", "212"}, {"5", ""},       {"", ""},
      {"4", "4"},          {"41", "4"},       {"4a1", "4"},    {"+441", "+44"}, {"0301", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(index.LongestCodePrefix(c.key), c.longest) << c.key;
  EXPECT_TRUE(index.AnyCodeBeginsWith("21"));
  EXPECT_FALSE(index.AnyCodeBeginsWith("22"));
  EXPECT_TRUE(AreaCodeIndex().empty());
}

TEST(OpenAreaCodeDatabase, AnswersTheThreeQuestions) {
  ScratchFolder folder;
  const auto db = OpenAreaCodeDatabase(Jet4(MakeDatabase(folder, {"30", "7071"})));
  EXPECT_TRUE(ExistTabel(db.get(), "sVorwahlen"));
  EXPECT_TRUE(ExistTabel(db.get(), "SVORWAHLEN"));  // table names ignore case, as in Access
  EXPECT_FALSE(ExistTabel(db.get(), "Vorwahlen"));
  EXPECT_FALSE(ExistTabel(db.get(), "sVorwahlen; DROP TABLE sVorwahlen"));
  EXPECT_FALSE(ExistTabel(nullptr, "sVorwahlen"));
  EXPECT_TRUE(db->AnyCodeBeginsWith("707"));
  EXPECT_FALSE(db->AnyCodeBeginsWith("0"));
  EXPECT_EQ(db->LongestCodePrefix("70712"), "7071");
  EXPECT_EQ(FindAreaCodeByQueries(*db, "70712"), "7071");
}

void RunSql(const std::string& path, const char* sql) {
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
  EXPECT_EQ(sqlite3_exec(db, sql, nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(db);
  sqlite3_close(db);
}

// Files a user might point DatabaseName at: the table test and the lookups must agree with each other.
TEST(OpenAreaCodeDatabase, UnusualTablesAnswerLikeTheirQueries) {
  struct Case {
    const char* name;
    const char* sql;
    bool table_exists;
    const char* key;
    const char* code;
  };
  const Case cases[] = {
      {"no table", "CREATE TABLE Orte(Name TEXT)", false, "301", ""},
      {"empty table", "CREATE TABLE sVorwahlen(Ortsnetzkennzahl TEXT)", true, "301", ""},
      {"no column", "CREATE TABLE sVorwahlen(Kennzahl TEXT); INSERT INTO sVorwahlen VALUES('30')", true,
       "301", ""},
      {"numbers and NULL",
       "CREATE TABLE sVorwahlen(Ortsnetzkennzahl); INSERT INTO sVorwahlen VALUES(30),(NULL),(7071),('')",
       true, "70712", "7071"},
      {"other letter case",
       "CREATE TABLE SVORWAHLEN(ORTSNETZKENNZAHL TEXT); INSERT INTO SVORWAHLEN VALUES('89')", true, "891",
       "89"},
      {"codes with blanks",
       "CREATE TABLE sVorwahlen(Ortsnetzkennzahl TEXT); INSERT INTO sVorwahlen VALUES('3 0')", true, "30",
       "3"},
  };
  for (const auto& c : cases) {
    ScratchFolder folder;
    const auto path = folder.File("user.db");
    RunSql(path, c.sql);
    const auto db = OpenAreaCodeDatabase(Jet4(path));
    EXPECT_EQ(ExistTabel(db.get(), "sVorwahlen"), c.table_exists) << c.name;
    EXPECT_EQ(db->LongestCodePrefix(c.key), c.code) << c.name;
    EXPECT_EQ(FindAreaCodeByQueries(*db, c.key), c.code) << c.name;
  }
}

TEST(OpenAreaCodeDatabase, RefusesWhatIsNoDatabaseWithAClearFailure) {
  ScratchFolder folder;
  WriteBytes(folder.File("text.mdb"), "Ortsnetzkennzahl;Ortsnetzname\n30;Berlin\n");
  WriteBytes(folder.File("empty.mdb"), "");
  WriteBytes(folder.File("short.mdb"), "SQLite");
  std::filesystem::create_directory(folder.File("folder.mdb"));
  struct Case {
    std::string path;
    ErrorNumber number;
  };
  const Case cases[] = {
      {folder.File("missing.mdb"), ErrorNumber::FileNotFound},
      {"", ErrorNumber::BadFileNameOrNumber},
      {folder.File("folder.mdb"), ErrorNumber::PathFileAccessError},
      {folder.File("text.mdb"), ErrorNumber::UnrecognizedDatabaseFormat},
      {folder.File("empty.mdb"), ErrorNumber::UnrecognizedDatabaseFormat},
      {folder.File("short.mdb"), ErrorNumber::UnrecognizedDatabaseFormat},
  };
  for (const auto& c : cases) {
    try {
      OpenAreaCodeDatabase(Jet4(c.path));
      ADD_FAILURE() << "opened " << c.path;
    } catch (const Failure& failure) {
      EXPECT_EQ(failure.number(), static_cast<int>(c.number)) << c.path;
      EXPECT_NE(failure.description().find(c.path.empty() ? "keine" : c.path), std::string::npos)
          << failure.description();
    }
  }
}

TEST(OpenAreaCodeDatabase, DamagedSqliteFilesFailToOpen) {
  ScratchFolder folder;
  const auto good = ReadBytes(testing::kShippedDatabase);
  ASSERT_GT(good.size(), 8192u);
  std::mt19937 random(7);
  std::vector<std::string> damaged;
  for (std::size_t size : {std::size_t{100}, std::size_t{4096}, good.size() / 2, good.size() - 4096})
    damaged.push_back(good.substr(0, size));
  std::string noise = good.substr(0, 100);
  while (noise.size() < good.size()) noise.push_back(static_cast<char>(random()));
  damaged.push_back(noise);
  for (std::size_t i = 0; i < damaged.size(); ++i) {
    const auto path = folder.File("damaged" + std::to_string(i) + ".mdb");
    WriteBytes(path, damaged[i]);
    EXPECT_THROW(OpenAreaCodeDatabase(Jet4(path)), Failure) << damaged[i].size() << " bytes";
  }
}

std::vector<std::string> ShippedCodes() {
  const auto rows = ParseAreaCodeList(ReadBytes(testing::kShippedList));
  std::vector<std::string> codes;
  for (const auto& row : rows) codes.push_back(row.code);
  return codes;
}

// The index must give exactly what one Like query per prefix gives, over the whole shipped table.
TEST(ShippedDatabase, IndexAgreesWithThePrefixQueries) {
  auto codes = ShippedCodes();
  ASSERT_EQ(codes.size(), 5202u);
  std::sort(codes.begin(), codes.end());
  const auto db = OpenAreaCodeDatabase(Jet4(testing::kShippedDatabase));
  std::mt19937 random(2024);
  auto digits = [&](int count) {
    std::string out;
    for (int i = 0; i < count; ++i) out.push_back(static_cast<char>('0' + random() % 10));
    return out;
  };
  std::vector<std::string> keys{"", "0", "1", "+", "+49", "212", "2129", "21299"};
  for (std::size_t i = 0; i < codes.size(); ++i) {
    // Every stored code is found again behind a subscriber number.
    ASSERT_TRUE(db->LongestCodePrefix(codes[i] + "99999999").starts_with(codes[i])) << codes[i];
    if (i % 3 != 0) continue;
    keys.push_back(codes[i] + digits(static_cast<int>(random() % 8)));
    keys.push_back(codes[i].substr(0, 1 + random() % codes[i].size()));
  }
  for (int i = 0; i < 1500; ++i) {
    std::string key = digits(static_cast<int>(random() % 12));
    if (random() % 10 == 0) key.insert(random() % (key.size() + 1), "+");
    keys.push_back(key);
  }
  std::size_t whole_codes = 0;
  for (const auto& key : keys) {
    const auto by_index = db->LongestCodePrefix(key);
    ASSERT_EQ(by_index, FindAreaCodeByQueries(*db, key)) << key;
    if (std::binary_search(codes.begin(), codes.end(), by_index)) ++whole_codes;
  }
  EXPECT_GT(whole_codes, keys.size() / 4);  // the keys do reach whole codes, not only first digits
}

TEST(AreaCodeList, RefusesListsThatWouldShipWrongCodes) {
  struct Case {
    const char* text;
    const char* error;  // part of the message; nullptr: accepted
  };
  const Case cases[] = {
      {"Ortsnetzkennzahl;Ortsnetzname\n30;Berlin\n89;M\xC3\xBCnchen", nullptr},
      {"\xEF\xBB\xBFOrtsnetzkennzahl;Ortsnetzname\r\n30;Berlin\r\n\r\n", nullptr},
      {"", "header"},
      {"Kennzahl;Name\n30;Berlin\n", "line 1"},
      {"Ortsnetzkennzahl;Ortsnetzname\n030;Berlin\n", "line 2"},
      {"Ortsnetzkennzahl;Ortsnetzname\n30;Berlin\n3x;X\n", "line 3"},
      {"Ortsnetzkennzahl;Ortsnetzname\n30 Berlin\n", "no ';'"},
      {"Ortsnetzkennzahl;Ortsnetzname\n30;Berlin\n89;M\n30;Berlin\n", "twice"},
      {"Ortsnetzkennzahl;Ortsnetzname\n;Nirgendwo\n", "line 2"},
  };
  for (const auto& c : cases) {
    if (c.error == nullptr) {
      EXPECT_NO_THROW(ParseAreaCodeList(c.text)) << c.text;
      continue;
    }
    try {
      ParseAreaCodeList(c.text);
      ADD_FAILURE() << "accepted: " << c.text;
    } catch (const AreaCodeFileError& e) {
      EXPECT_NE(std::string(e.what()).find(c.error), std::string::npos) << e.what();
    }
  }
  const auto rows = ParseAreaCodeList("Ortsnetzkennzahl;Ortsnetzname\n89;M\xC3\xBCnchen;Bayern\n");
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0], (AreaCodeRow{"89", "M\xC3\xBCnchen;Bayern"}));
}

TEST(AreaCodeList, SameRowsGiveTheSameFile) {
  ScratchFolder folder;
  const auto codes = ShippedCodes();
  const auto first = ReadBytes(MakeDatabase(folder, codes, "a.mdb"));
  const auto second = ReadBytes(MakeDatabase(folder, codes, "b.mdb"));
  EXPECT_EQ(first, second);
  EXPECT_FALSE(std::filesystem::exists(folder.File("a.mdb.tmp")));
}

}  // namespace
}  // namespace fernkartei::phone
