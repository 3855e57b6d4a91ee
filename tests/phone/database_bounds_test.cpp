// Area-code files that never end or belong to another program at the moment: the open ends in time and
// within memory, and says what is wrong.

#include <gtest/gtest.h>
#include <sqlite3.h>

#include "phone/area_code_database.h"
#include "phone_test_support.h"
#include "support/failure.h"

#if !defined(_WIN32)
#include <signal.h>

#include "phone/posix/access_file.h"
#endif

namespace fernkartei::phone {
namespace {

using support::ErrorNumber;
using support::Failure;
using testing::ScratchFolder;

sqlite3* OpenForWriting(const std::string& path, const char* sql) {
  sqlite3* db = nullptr;
  EXPECT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
  EXPECT_EQ(sqlite3_exec(db, sql, nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(db);
  return db;
}

// The failure of opening `path`, or nothing when it opened.
std::optional<Failure> OpenFailure(const std::string& path, const DatabaseReadLimits& limits) {
  try {
    OpenAreaCodeDatabaseFile(path, limits);
  } catch (const Failure& failure) {
    return failure;
  }
  return std::nullopt;
}

TEST(DatabaseBounds, CraftedViewsEndInTimeAndMemory) {
  const char* views[] = {
      "WITH RECURSIVE n(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM n) SELECT x FROM n WHERE x < 0",
      "WITH RECURSIVE n(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM n) SELECT x FROM n",
      "SELECT randomblob(900000000)",
  };
  for (const char* view : views) {
    ScratchFolder folder;
    const auto path = folder.File("view.db");
    sqlite3_close(
        OpenForWriting(path, (std::string("CREATE VIEW sVorwahlen(Ortsnetzkennzahl) AS ") + view).c_str()));
    const auto failure = OpenFailure(path, {1, 64ull << 20});
    ASSERT_TRUE(failure) << view;
    EXPECT_EQ(failure->number(), static_cast<int>(ErrorNumber::UnrecognizedDatabaseFormat)) << view;
    EXPECT_NE(failure->description().find(path), std::string::npos) << failure->description();
  }
}

TEST(DatabaseBounds, ADatabaseLockedByAnotherProgramIsLockedNotDamaged) {
  ScratchFolder folder;
  const auto path = testing::MakeDatabase(folder, {"30"}, "locked.db");
  sqlite3* writer = OpenForWriting(path, "BEGIN EXCLUSIVE");
  const auto failure = OpenFailure(path, {});
  sqlite3_close(writer);
  ASSERT_TRUE(failure);
  EXPECT_EQ(failure->number(), static_cast<int>(ErrorNumber::FileInUse));
  EXPECT_NE(failure->description().find("gesperrt"), std::string::npos) << failure->description();
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
