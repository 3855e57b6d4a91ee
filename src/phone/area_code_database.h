#pragma once
// The area-code database: connection string, opening, table test and longest-prefix lookup.
// The file may be the SQLite database we ship or a user's Microsoft Access file.

#include <memory>
#include <string>
#include <string_view>

#include "phone/access_area_codes.h"

namespace fernkartei::phone {

// An open area-code database.
class AreaCodeDatabase {
 public:
  virtual ~AreaCodeDatabase() = default;
  // True when "SELECT Top 1 * FROM <table>" would run.
  virtual bool CanQueryTable(const std::string& table) = 0;
  // The longest beginning of key that begins at least one stored area code; empty when none.
  virtual std::string LongestCodePrefix(std::string_view key) const = 0;
  // Asks the store itself, not the index, whether at least one stored area code begins with prefix:
  // "SELECT Top 1 * FROM sVorwahlen where ([Ortsnetzkennzahl] Like ('<prefix>%'))". False when the
  // question cannot be answered.
  virtual bool AnyCodeBeginsWith(std::string_view prefix) = 0;
};

// "Ortsnetzkennzahl" of table "sVorwahlen": where the area codes live.
inline constexpr const char* kAreaCodeTable = "sVorwahlen";
inline constexpr const char* kAreaCodeColumn = "Ortsnetzkennzahl";

// "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + path + ";Mode=...;Jet OLEDB".
std::string Jet4(const std::string& database_path);
// Opens the file named in a Jet4 connection string. Throws support::Failure (missing, unreadable,
// damaged, locked by another program, or neither SQLite nor Access). Either kind is read within the
// limits.
std::unique_ptr<AreaCodeDatabase> OpenAreaCodeDatabase(const std::string& connection_string,
                                                       const DatabaseReadLimits& limits = {});
// True when the table can be queried on the connection; False (silently) otherwise.
bool ExistTabel(AreaCodeDatabase* connection, const std::string& table);
// Longest-prefix lookup over DB_Connection; empty when there is no connection or no match.
std::string Find_Area_Code(std::string_view key);

// The same answer as Find_Area_Code, found the slow way: one store query per prefix length, from one
// character upward, until a prefix matches nothing. Kept to check the index against and to measure it.
std::string FindAreaCodeByQueries(AreaCodeDatabase& connection, std::string_view key);

// The database path inside a connection string made by Jet4 (or the text after "Data Source=" up to
// the next ";" for a hand-written one); empty when there is none.
std::string DataSourceOf(std::string_view connection_string);
// Opens a database file directly, by path. Throws support::Failure like OpenAreaCodeDatabase.
std::unique_ptr<AreaCodeDatabase> OpenAreaCodeDatabaseFile(const std::string& path,
                                                           const DatabaseReadLimits& limits = {});

// Start-up's two steps on the area-code database: opens the file at database_path (through Jet4) as
// DB_Connection, and sets Area_Table_Exists when the table sVorwahlen can be queried. Throws
// support::Failure when the file cannot be opened; the process-wide values stay as they were then.
void ConnectAreaCodeDatabase(const std::string& database_path);

// Opened by start-up, kept for the life of the process.
inline std::unique_ptr<AreaCodeDatabase> DB_Connection;
// True once start-up found the table sVorwahlen; switches the formatter to database mode.
inline bool Area_Table_Exists = false;

}  // namespace fernkartei::phone
