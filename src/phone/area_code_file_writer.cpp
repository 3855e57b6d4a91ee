#include "phone/area_code_file_writer.h"

#include <sqlite3.h>

#include <filesystem>
#include <set>

namespace fernkartei::phone {
namespace {

constexpr std::string_view kHeader = "Ortsnetzkennzahl;Ortsnetzname";

// The path from its UTF-8 text (SQLite takes UTF-8 names, so the file system must see the same name).
std::filesystem::path FileSystemPath(const std::string& utf8) {
  return std::u8string(reinterpret_cast<const char8_t*>(utf8.data()), utf8.size());
}

bool IsCode(std::string_view code) {
  if (code.empty() || code.size() > 8 || code.front() == '0') return false;
  for (char c : code)
    if (c < '0' || c > '9') return false;
  return true;
}

class Database {
 public:
  explicit Database(const std::string& path) {
    if (sqlite3_open_v2(path.c_str(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) != SQLITE_OK)
      Fail("cannot create " + path);
  }
  ~Database() { sqlite3_close(db_); }
  Database(const Database&) = delete;
  Database& operator=(const Database&) = delete;

  void Run(const char* sql) {
    if (sqlite3_exec(db_, sql, nullptr, nullptr, nullptr) != SQLITE_OK) Fail(sql);
  }
  void Insert(const std::vector<AreaCodeRow>& rows) {
    sqlite3_stmt* insert = nullptr;
    if (sqlite3_prepare_v2(db_, "INSERT INTO sVorwahlen VALUES (?1, ?2)", -1, &insert, nullptr) != SQLITE_OK)
      Fail("prepare insert");
    for (const auto& row : rows) {
      sqlite3_bind_text(insert, 1, row.code.data(), static_cast<int>(row.code.size()), SQLITE_TRANSIENT);
      sqlite3_bind_text(insert, 2, row.place.data(), static_cast<int>(row.place.size()), SQLITE_TRANSIENT);
      if (sqlite3_step(insert) != SQLITE_DONE) {
        sqlite3_finalize(insert);
        Fail("insert " + row.code);
      }
      sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
  }

 private:
  [[noreturn]] void Fail(const std::string& what) {
    throw AreaCodeFileError("SQLite: " + what + ": " +
                            (db_ != nullptr ? sqlite3_errmsg(db_) : "out of memory"));
  }
  sqlite3* db_ = nullptr;
};

}  // namespace

std::vector<AreaCodeRow> ParseAreaCodeList(std::string_view text) {
  if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
  std::vector<AreaCodeRow> rows;
  std::set<std::string, std::less<>> seen;
  int line_number = 0;
  while (!text.empty()) {
    const auto end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    ++line_number;
    if (line.ends_with('\r')) line.remove_suffix(1);
    const auto where = "line " + std::to_string(line_number) + ": ";
    if (line_number == 1) {
      if (line != kHeader) throw AreaCodeFileError(where + "header must be " + std::string(kHeader));
      continue;
    }
    if (line.empty()) continue;
    const auto semicolon = line.find(';');
    if (semicolon == std::string_view::npos) throw AreaCodeFileError(where + "no ';'");
    AreaCodeRow row{std::string(line.substr(0, semicolon)), std::string(line.substr(semicolon + 1))};
    if (!IsCode(row.code)) throw AreaCodeFileError(where + "not an area code: '" + row.code + "'");
    if (!seen.insert(row.code).second) throw AreaCodeFileError(where + "area code given twice: " + row.code);
    rows.push_back(std::move(row));
  }
  if (line_number == 0) throw AreaCodeFileError("empty list: header missing");
  return rows;
}

void WriteAreaCodeDatabase(const std::string& path, const std::vector<AreaCodeRow>& rows) {
  const std::string temporary = path + ".tmp";
  std::error_code ignored;
  std::filesystem::remove(FileSystemPath(temporary), ignored);
  {
    Database db(temporary);
    // No journal and one transaction: the file is either complete or renamed never.
    db.Run("PRAGMA page_size=4096; PRAGMA journal_mode=OFF;");
    db.Run("BEGIN");
    db.Run("CREATE TABLE sVorwahlen(Ortsnetzkennzahl TEXT PRIMARY KEY, Ortsnetzname TEXT)");
    db.Insert(rows);
    db.Run("COMMIT");
  }
  // Replaces an existing file on every platform, which the C library's rename does not on Windows.
  std::error_code error;
  std::filesystem::rename(FileSystemPath(temporary), FileSystemPath(path), error);
  if (error) {
    std::filesystem::remove(FileSystemPath(temporary), ignored);
    throw AreaCodeFileError("cannot replace " + path);
  }
}

}  // namespace fernkartei::phone
