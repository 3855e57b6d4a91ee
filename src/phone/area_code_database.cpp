#include "phone/area_code_database.h"

#include <sqlite3.h>

#include <filesystem>
#include <new>
#include <vector>

#include "phone/access_area_codes.h"
#include "phone/area_code_index.h"
#include "phone/database_file.h"
#include "support/error_log.h"
#include "support/failure.h"
#include "support/file_helpers.h"
#include "support/text.h"

namespace fernkartei::phone {
namespace {

using support::ErrorNumber;
using support::Failure;

constexpr std::string_view kProviderPart = "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=";
constexpr std::string_view kOptionsPart =
    ";Mode=ReadWrite|Share Deny None;Persist Security Info=FALSE;Jet OLEDB";

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
  explicit SqliteAreaCodes(const std::string& path) : path_(path) {
    // Read-only: the program never writes the table, and a user's file must stay as it is.
    if (sqlite3_open_v2(path.c_str(), &db_, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
      const std::string why = db_ != nullptr ? sqlite3_errmsg(db_) : "kein Speicher";
      sqlite3_close(db_);
      throw Failure(ErrorNumber::PermissionDenied,
                    "Die Vorwahl-Datenbank " + path + " kann nicht geöffnet werden (" + why + ").");
    }
    // On Windows two readers that open the file at the same moment contend for a lock byte for an
    // instant; waiting a little keeps the second from taking the file for damaged or the table for absent.
    sqlite3_busy_timeout(db_, 2000);
    try {
      // Keys hold only "+" and digits, for which case does not matter; matching case lets SQLite answer
      // "Like 'x%'" from the primary-key index instead of scanning the table for every prefix.
      sqlite3_exec(db_, "PRAGMA case_sensitive_like = ON", nullptr, nullptr, nullptr);
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
  [[noreturn]] void Damaged(const std::string& why) const {
    ThrowDamaged("Die Vorwahl-Datenbank " + path_, "beschädigt oder keine SQLite-Datenbank", why);
  }
  // Prepares, runs to the first row and ends the statement; the SQLite result code of that step, or
  // the preparation's error.
  int StepOnce(const std::string& sql) {
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
    if (sqlite3_prepare_v2(db_, "PRAGMA quick_check", -1, &statement, nullptr) != SQLITE_OK)
      Damaged(sqlite3_errmsg(db_));
    std::string verdict;
    int result = SQLITE_ROW;
    while ((result = sqlite3_step(statement)) == SQLITE_ROW) {
      if (verdict.empty()) verdict = reinterpret_cast<const char*>(sqlite3_column_text(statement, 0));
    }
    sqlite3_finalize(statement);
    if (result != SQLITE_DONE) Damaged(sqlite3_errmsg(db_));
    if (verdict != "ok") Damaged(verdict);
  }
  void LoadIndex() {
    sqlite3_stmt* statement = nullptr;
    const std::string sql = std::string("SELECT [") + kAreaCodeColumn + "] FROM " + kAreaCodeTable;
    // Without the table or the column every prefix query fails, which the empty index answers alike.
    if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &statement, nullptr) != SQLITE_OK) return;
    int result = SQLITE_ROW;
    while ((result = sqlite3_step(statement)) == SQLITE_ROW) {
      // NULL matches no Like pattern; a number is matched as its text, which sqlite3_column_text gives.
      const auto* text = sqlite3_column_text(statement, 0);
      if (text != nullptr)
        index_.Add(std::string_view(reinterpret_cast<const char*>(text),
                                    static_cast<std::size_t>(sqlite3_column_bytes(statement, 0))));
    }
    sqlite3_finalize(statement);
    if (result != SQLITE_DONE) Damaged(sqlite3_errmsg(db_));
  }

  std::string path_;
  sqlite3* db_ = nullptr;
  AreaCodeIndex index_;
};

}  // namespace

bool HasAccessSignature(const std::string& first_bytes) {
  using namespace std::string_view_literals;
  const std::string_view head = std::string_view(first_bytes).substr(0, 20);
  return head == "\x00\x01\x00\x00Standard Jet DB\x00"sv || head == "\x00\x01\x00\x00Standard ACE DB\x00"sv;
}

std::string Jet4(const std::string& database_path) {
  try {
    std::string connection;
    connection.reserve(kProviderPart.size() + database_path.size() + kOptionsPart.size());
    connection += kProviderPart;
    connection += database_path;
    connection += kOptionsPart;
    return connection;
  } catch (const std::bad_alloc&) {
    support::Write_Error_Log("mdlADOXModul!Function Jet4()", Failure(ErrorNumber::OutOfMemory), 4);
    return {};
  }
}

std::string DataSourceOf(std::string_view connection_string) {
  // Jet4's own strings: the path is everything between the two fixed parts, ";" in it included.
  if (connection_string.starts_with(kProviderPart) && connection_string.ends_with(kOptionsPart) &&
      connection_string.size() >= kProviderPart.size() + kOptionsPart.size()) {
    return std::string(connection_string.substr(
        kProviderPart.size(), connection_string.size() - kProviderPart.size() - kOptionsPart.size()));
  }
  constexpr std::string_view kKey = "data source=";
  const std::string lower = support::AsciiLower(connection_string);
  const auto at = lower.find(kKey);
  if (at == std::string::npos) return {};
  const auto start = at + kKey.size();
  const auto end = connection_string.find(';', start);
  return std::string(connection_string.substr(start, end == std::string_view::npos ? end : end - start));
}

std::unique_ptr<AreaCodeDatabase> OpenAreaCodeDatabaseFile(const std::string& path,
                                                           const AccessReadLimits& limits) {
  if (path.empty())
    throw Failure(ErrorNumber::BadFileNameOrNumber, "Es ist keine Vorwahl-Datenbank angegeben.");
  std::error_code error;
  const auto status = std::filesystem::status(support::PathFromUtf8(path), error);
  if (!std::filesystem::exists(status))
    throw Failure(ErrorNumber::FileNotFound, "Die Vorwahl-Datenbank " + path + " wurde nicht gefunden.");
  if (!std::filesystem::is_regular_file(status))
    throw Failure(ErrorNumber::PathFileAccessError, "Die Vorwahl-Datenbank " + path + " ist keine Datei.");
  const std::string head = ReadFileBytes(path, "Die Vorwahl-Datenbank " + path, 20);
  using namespace std::string_view_literals;
  if (head.starts_with("SQLite format 3\0"sv)) return std::make_unique<SqliteAreaCodes>(path);
  if (HasAccessSignature(head)) return OpenAccessAreaCodes(path, limits);
  throw Failure(ErrorNumber::UnrecognizedDatabaseFormat,
                "Die Datei " + path + " ist weder eine Access- noch eine SQLite-Datenbank.");
}

std::unique_ptr<AreaCodeDatabase> OpenAreaCodeDatabase(const std::string& connection_string,
                                                       const AccessReadLimits& limits) {
  return OpenAreaCodeDatabaseFile(DataSourceOf(connection_string), limits);
}

bool ExistTabel(AreaCodeDatabase* connection, const std::string& table) {
  if (connection == nullptr) return false;  // a query on no connection fails, silently
  try {
    return connection->CanQueryTable(table);
  } catch (const std::bad_alloc&) {
    // The one failure that stands for not being able to set the query up at all: logged, then the
    // query itself counts as failed.
    support::Write_Error_Log("mdlADOXModul!Function ExistTabel()", Failure(ErrorNumber::OutOfMemory), 3);
    return false;
  } catch (...) {
    return false;
  }
}

void ConnectAreaCodeDatabase(const std::string& database_path) {
  DB_Connection = OpenAreaCodeDatabase(Jet4(database_path));
  if (ExistTabel(DB_Connection.get(), kAreaCodeTable)) Area_Table_Exists = true;
}

std::string Find_Area_Code(std::string_view key) {
  if (!DB_Connection) return {};
  return DB_Connection->LongestCodePrefix(key);
}

std::string FindAreaCodeByQueries(AreaCodeDatabase& connection, std::string_view key) {
  std::size_t matched = 0;
  while (matched < key.size() && connection.AnyCodeBeginsWith(key.substr(0, matched + 1))) ++matched;
  return std::string(key.substr(0, matched));
}

}  // namespace fernkartei::phone
