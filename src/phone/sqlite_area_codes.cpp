#include "phone/sqlite_area_codes.h"

#include <sqlite3.h>

#include <algorithm>
#include <chrono>

#include "phone/area_code_index.h"
#include "phone/database_file.h"
#include "support/failure.h"

namespace fernkartei::phone {
namespace {

using support::ErrorNumber;
using support::Failure;
using Clock = std::chrono::steady_clock;

// A lock that lasts longer than this is another program's, not a passing one. On Windows two readers
// that open the file at the same moment contend for a lock byte for an instant; waiting a little keeps
// the second from taking the file for locked, damaged, or without its table.
constexpr int kBusyMilliseconds = 2000;
// How many steps of SQLite's machine run between two looks at the clock.
constexpr int kStepsBetweenChecks = 10000;
// No value of an area-code table comes near this; a longer one is made only to fill memory.
constexpr int kLongestValue = 1 << 20;
// More rows than any numbering plan has area codes: an endless view would otherwise fill the index.
constexpr std::size_t kMostCodes = 1'000'000;

// The prefix query, word for word as the old program sent it, less "Top 1", which SQLite spells LIMIT.
std::string PrefixQuery(std::string_view prefix) {
  std::string query = "SELECT * FROM ";
  query += kAreaCodeTable;
  query += " where ([";
  query += kAreaCodeColumn;
  query += "] Like ('";
  query += prefix;
  query += "%')) LIMIT 1";
  return query;
}

class SqliteAreaCodes final : public AreaCodeDatabase {
 public:
  SqliteAreaCodes(const std::string& path, const DatabaseReadLimits& limits) : path_(path), limits_(limits) {
    // Read-only: the program never writes the table, and a user's file must stay as it is.
    if (sqlite3_open_v2(path.c_str(), &db_, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
      const std::string why = db_ != nullptr ? sqlite3_errmsg(db_) : "kein Speicher";
      sqlite3_close(db_);
      throw Failure(ErrorNumber::PermissionDenied,
                    "Die Vorwahl-Datenbank " + path + " kann nicht geöffnet werden (" + why + ").");
    }
    sqlite3_busy_timeout(db_, kBusyMilliseconds);
    sqlite3_progress_handler(db_, kStepsBetweenChecks, &PastDeadline, this);
    sqlite3_limit(db_, SQLITE_LIMIT_LENGTH, kLongestValue);
    try {
      // Keys hold only "+" and digits, for which case does not matter; matching case lets SQLite answer
      // "Like 'x%'" from the primary-key index instead of scanning the table for every prefix.
      sqlite3_exec(db_, "PRAGMA case_sensitive_like = ON", nullptr, nullptr, nullptr);
      const Bounds bounds(*this);
      CheckIntegrity();
      LoadIndex();
    } catch (...) {
      sqlite3_close(db_);
      throw;
    }
  }
  ~SqliteAreaCodes() override { sqlite3_close(db_); }
  SqliteAreaCodes(const SqliteAreaCodes&) = delete;
  SqliteAreaCodes& operator=(const SqliteAreaCodes&) = delete;

  bool CanQueryTable(const std::string& table) override {
    // The name goes in as it stands, as in the old query: only the question whether it runs counts.
    const int result = StepOnce("SELECT * FROM " + table + " LIMIT 1");
    return result == SQLITE_ROW || result == SQLITE_DONE;
  }
  std::string LongestCodePrefix(std::string_view key) const override {
    return std::string(index_.LongestCodePrefix(key));
  }
  bool AnyCodeBeginsWith(std::string_view prefix) override {
    return StepOnce(PrefixQuery(prefix)) == SQLITE_ROW;
  }

 private:
  // One bounded stretch of work: a deadline for the progress handler, and SQLite's heap limited. The heap
  // limit is the process's, so the one before is restored.
  class Bounds {
   public:
    explicit Bounds(SqliteAreaCodes& db) : db_(db), heap_limit_before_(sqlite3_hard_heap_limit64(-1)) {
      db_.deadline_ = Clock::now() + std::chrono::seconds(std::max(1, db_.limits_.seconds));
      sqlite3_hard_heap_limit64(sqlite3_memory_used() + static_cast<sqlite3_int64>(db_.limits_.extra_memory));
    }
    ~Bounds() {
      sqlite3_hard_heap_limit64(heap_limit_before_);
      db_.deadline_ = Clock::time_point::max();
    }
    Bounds(const Bounds&) = delete;
    Bounds& operator=(const Bounds&) = delete;

   private:
    SqliteAreaCodes& db_;
    sqlite3_int64 heap_limit_before_;
  };

  static int PastDeadline(void* self) {
    return Clock::now() > static_cast<SqliteAreaCodes*>(self)->deadline_ ? 1 : 0;
  }

  [[noreturn]] void Damaged(const std::string& why) const {
    ThrowDamaged("Die Vorwahl-Datenbank " + path_, "beschädigt oder keine SQLite-Datenbank", why);
  }
  // What a failed step means for the user: a lock by another program is no damage.
  [[noreturn]] void Failed(int result) const {
    switch (result) {
      case SQLITE_BUSY:
      case SQLITE_LOCKED:
        throw Failure(ErrorNumber::FileInUse, "Die Vorwahl-Datenbank " + path_ +
                                                  " ist von einem anderen Programm gesperrt. Bitte später "
                                                  "noch einmal versuchen.");
      case SQLITE_INTERRUPT:
        Damaged("nach " + std::to_string(limits_.seconds) + " Sekunden nicht zu Ende gelesen");
      case SQLITE_NOMEM:
      case SQLITE_TOOBIG:
        Damaged("braucht zu viel Speicher");
      default:
        Damaged(sqlite3_errmsg(db_));
    }
  }
  // Prepares, runs to the first row and ends the statement; the SQLite result code of that step, or
  // the preparation's error.
  int StepOnce(const std::string& sql) {
    const Bounds bounds(*this);
    sqlite3_stmt* statement = nullptr;
    const char* tail = nullptr;
    int result = sqlite3_prepare_v2(db_, sql.c_str(), static_cast<int>(sql.size()), &statement, &tail);
    // One statement only: a table name that smuggles in a second one is no table name.
    if (result == SQLITE_OK &&
        (statement == nullptr || tail == nullptr ||
         std::string_view(tail).find_first_not_of(" \t\r\n") != std::string_view::npos))
      result = SQLITE_ERROR;
    if (result == SQLITE_OK) result = sqlite3_step(statement);
    sqlite3_finalize(statement);
    return result;
  }
  // SQLite opens lazily; a truncated or foreign file shows only here, and should fail the open rather
  // than every later lookup.
  void CheckIntegrity() {
    sqlite3_stmt* statement = nullptr;
    const int prepared = sqlite3_prepare_v2(db_, "PRAGMA quick_check", -1, &statement, nullptr);
    if (prepared != SQLITE_OK) Failed(prepared);
    std::string verdict;
    int result = SQLITE_ROW;
    while ((result = sqlite3_step(statement)) == SQLITE_ROW) {
      if (verdict.empty()) verdict = reinterpret_cast<const char*>(sqlite3_column_text(statement, 0));
    }
    sqlite3_finalize(statement);
    if (result != SQLITE_DONE) Failed(result);
    if (verdict != "ok") Damaged(verdict);
  }
  void LoadIndex() {
    sqlite3_stmt* statement = nullptr;
    const std::string sql = std::string("SELECT [") + kAreaCodeColumn + "] FROM " + kAreaCodeTable;
    // Without the table or the column every prefix query fails, which the empty index answers alike.
    const int prepared = sqlite3_prepare_v2(db_, sql.c_str(), -1, &statement, nullptr);
    if (prepared == SQLITE_ERROR) return;
    if (prepared != SQLITE_OK) Failed(prepared);
    int result = SQLITE_ROW;
    std::size_t rows = 0;
    while ((result = sqlite3_step(statement)) == SQLITE_ROW && ++rows <= kMostCodes) {
      // NULL matches no Like pattern; a number is matched as its text, which sqlite3_column_text gives.
      const auto* text = sqlite3_column_text(statement, 0);
      if (text != nullptr)
        index_.Add(std::string_view(reinterpret_cast<const char*>(text),
                                    static_cast<std::size_t>(sqlite3_column_bytes(statement, 0))));
    }
    sqlite3_finalize(statement);
    if (rows > kMostCodes) Damaged("mehr als " + std::to_string(kMostCodes) + " Zeilen in " + kAreaCodeTable);
    if (result != SQLITE_DONE) Failed(result);
  }

  std::string path_;
  DatabaseReadLimits limits_;
  sqlite3* db_ = nullptr;
  Clock::time_point deadline_ = Clock::time_point::max();
  AreaCodeIndex index_;
};

}  // namespace

std::unique_ptr<AreaCodeDatabase> OpenSqliteAreaCodes(const std::string& path,
                                                      const DatabaseReadLimits& limits) {
  return std::make_unique<SqliteAreaCodes>(path, limits);
}

}  // namespace fernkartei::phone
