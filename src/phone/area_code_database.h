#pragma once
// The area-code database: connection string, opening, table test and longest-prefix lookup.
// The file may be the SQLite database we ship or a user's Microsoft Access file.

#include <memory>
#include <string>
#include <string_view>

namespace fernkartei::phone {

// An open area-code database.
class AreaCodeDatabase {
 public:
  virtual ~AreaCodeDatabase() = default;
  // True when "SELECT Top 1 * FROM <table>" would run.
  virtual bool CanQueryTable(const std::string& table) = 0;
  // The longest beginning of key that begins at least one stored area code; empty when none.
  virtual std::string LongestCodePrefix(std::string_view key) const = 0;
};

// "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + path + ";Mode=...;Jet OLEDB".
std::string Jet4(const std::string& database_path);
// Opens the file named in a Jet4 connection string. Throws support::Failure (missing, unreadable,
// damaged, or neither SQLite nor Access).
std::unique_ptr<AreaCodeDatabase> OpenAreaCodeDatabase(const std::string& connection_string);
// True when the table can be queried on the connection; False (silently) otherwise.
bool ExistTabel(AreaCodeDatabase* connection, const std::string& table);
// Longest-prefix lookup over DB_Connection; empty when there is no connection or no match.
std::string Find_Area_Code(std::string_view key);

// Opened by start-up, kept for the life of the process.
inline std::unique_ptr<AreaCodeDatabase> DB_Connection;
// True once start-up found the table sVorwahlen; switches the formatter to database mode.
inline bool Area_Table_Exists = false;

}  // namespace fernkartei::phone
