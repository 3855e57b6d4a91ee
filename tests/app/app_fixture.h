#pragma once
// A program folder of its own for each test: a small area-code database beside a fresh system.ini, the
// process-wide state cleared before and after.

#include <sqlite3.h>

#include <string>

#include "phone/area_code_database.h"
#include "support/process_state.h"
#include "support/temp_folder.h"

namespace fernkartei::testing {

// An SQLite area-code file; with_table = false leaves out sVorwahlen.
inline void WriteAreaCodeDatabase(const std::string& path, bool with_table) {
  sqlite3* db = nullptr;
  sqlite3_open(path.c_str(), &db);
  const char* sql =
      with_table ? "CREATE TABLE sVorwahlen(Ortsnetzkennzahl TEXT PRIMARY KEY, Ortsnetzname TEXT);"
                   "INSERT INTO sVorwahlen VALUES('30','Berlin'),('89','München'),('6221','Heidelberg'),"
                   "('212','Solingen'),('2129','Haan');"
                 : "CREATE TABLE Andere(A TEXT);";
  sqlite3_exec(db, sql, nullptr, nullptr, nullptr);
  sqlite3_close(db);
}

inline void ClearProcessState() {
  phone::DB_Connection.reset();
  phone::Area_Table_Exists = false;
  support::App_Title.clear();
  support::INI_Path.clear();
}

class ProgramFolderFixture {
 public:
  explicit ProgramFolderFixture(bool with_table = true) {
    ClearProcessState();
    WriteAreaCodeDatabase(folder_ / "vorwahlen.mdb", with_table);
  }
  ~ProgramFolderFixture() { ClearProcessState(); }

  const TempFolder& folder() const { return folder_; }
  std::string path() const { return folder_.path().string(); }
  std::string Settings() const { return folder_.Read("system.ini"); }
  void WriteSettings(const std::string& body) const {
    folder_.Write("system.ini", "[Fernkartei]\r\n" + body);
  }

 private:
  TempFolder folder_;
};

}  // namespace fernkartei::testing
