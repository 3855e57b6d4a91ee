#include "phone/area_code_database.h"

#include <filesystem>
#include <new>
#include <vector>

#include "phone/access_area_codes.h"
#include "phone/area_code_index.h"
#include "phone/database_file.h"
#include "phone/sqlite_area_codes.h"
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
                                                           const DatabaseReadLimits& limits) {
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
  if (head.starts_with("SQLite format 3\0"sv)) return OpenSqliteAreaCodes(path, limits);
  if (HasAccessSignature(head)) return OpenAccessAreaCodes(path, limits);
  throw Failure(ErrorNumber::UnrecognizedDatabaseFormat,
                "Die Datei " + path + " ist weder eine Access- noch eine SQLite-Datenbank.");
}

std::unique_ptr<AreaCodeDatabase> OpenAreaCodeDatabase(const std::string& connection_string,
                                                       const DatabaseReadLimits& limits) {
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
