// Area-code files that never end or belong to another program at the moment: the open ends in time and
// within memory, and says what is wrong.

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sqlite3.h>

#include "fixtures/failure_number.h"
#include "fixtures/program_folder.h"
#include "phone/area_code_database.h"
#include "support/failure.h"

#if !defined(_WIN32)
#include <signal.h>

#include "phone/posix/access_file.h"
#endif

namespace fernkartei::phone {
namespace {

using support::ErrorNumber;
using ::testing::StartsWith;
using testing::TempFolder;

sqlite3* OpenForWriting(const std::string& path, const std::string& sql) {
  sqlite3* db = nullptr;
  EXPECT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
  EXPECT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(db);
  return db;
}

// The number and description of the failure to open `path`; empty when it opened.
std::string OpenFailure(const std::string& path, const DatabaseReadLimits& limits) {
  try {
    OpenAreaCodeDatabaseFile(path, limits);
  } catch (const support::Failure& failure) {
    return std::to_string(failure.number()) + " " + failure.description();
  }
  return "";
}

TEST(DatabaseBounds, CraftedViewsEndInTimeAndMemory) {
  for (const char* view : {
           "WITH RECURSIVE n(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM n) SELECT x FROM n WHERE x < 0",
           "WITH RECURSIVE n(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM n) SELECT x FROM n",
           "SELECT randomblob(900000000)",
       }) {
    TempFolder folder;
    const auto path = folder / "view.db";
    sqlite3_close(OpenForWriting(path, std::string("CREATE VIEW sVorwahlen(Ortsnetzkennzahl) AS ") + view));
    EXPECT_THAT(OpenFailure(path, {1, 64ull << 20}),
                StartsWith(std::to_string(testing::Number(ErrorNumber::UnrecognizedDatabaseFormat)) +
                           " Die Vorwahl-Datenbank " + path))
        << view;
  }
}

TEST(DatabaseBounds, ADatabaseLockedByAnotherProgramIsLockedNotDamaged) {
  TempFolder folder;
  const auto path = testing::MakeAreaCodeDatabase(folder, {"30"}, "locked.db");
  sqlite3* writer = OpenForWriting(path, "BEGIN EXCLUSIVE");
  const std::string failure = OpenFailure(path, {});
  sqlite3_close(writer);
  EXPECT_THAT(failure, StartsWith(std::to_string(testing::Number(ErrorNumber::FileInUse))));
  EXPECT_THAT(failure, ::testing::HasSubstr("gesperrt"));
}

#if !defined(_WIN32)
// Some service managers start programs with SIGCHLD ignored, which lets the system reap children.
TEST(DatabaseBounds, TheAccessReaderWorksWithSigchldIgnored) {
  struct sigaction ignore {
  }, before{};
  ignore.sa_handler = SIG_IGN;
  sigaction(SIGCHLD, &ignore, &before);
  const auto contents =
      ReadAccessFile(std::string(FERNKARTEI_TEST_DATA) + "/access/testV2000.mdb", "Table1", "B");
  sigaction(SIGCHLD, &before, nullptr);
  ASSERT_TRUE(contents.column);
  EXPECT_EQ(contents.column->size(), 2u);
}
#endif

}  // namespace
}  // namespace fernkartei::phone
