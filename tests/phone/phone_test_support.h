#pragma once
// Helpers shared by the phone tests: a scratch folder and area-code databases with chosen codes.

#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "phone/area_code_database.h"
#include "phone/area_code_file_writer.h"

namespace fernkartei::phone::testing {

class ScratchFolder {
 public:
  ScratchFolder() {
    static std::mt19937_64 random{std::random_device{}()};
    path_ = std::filesystem::temp_directory_path() / ("fernkartei-phone-" + std::to_string(random()));
    std::filesystem::create_directories(path_);
  }
  ~ScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  std::string File(const std::string& name) const { return (path_ / name).string(); }

 private:
  std::filesystem::path path_;
};

inline std::string MakeDatabase(const ScratchFolder& folder, const std::vector<std::string>& codes,
                                const std::string& name = "vorwahlen.mdb") {
  std::vector<AreaCodeRow> rows;
  for (const auto& code : codes) rows.push_back({code, "Ort " + code});
  const auto path = folder.File(name);
  WriteAreaCodeDatabase(path, rows);
  return path;
}

inline std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

inline const std::string kShippedDatabase = std::string(FERNKARTEI_BIN_DIR) + "/vorwahlen.mdb";
inline const std::string kShippedList = std::string(FERNKARTEI_SOURCE_DIR) + "/data/ortsnetzkennzahlen.csv";
inline const std::string kAccessFolder = std::string(FERNKARTEI_TEST_DATA) + "/access/";

// Makes DB_Connection the given database for one test and drops it afterwards.
class ConnectionScope {
 public:
  explicit ConnectionScope(const std::string& path) {
    DB_Connection = OpenAreaCodeDatabase(Jet4(path));
    Area_Table_Exists = ExistTabel(DB_Connection.get(), kAreaCodeTable);
  }
  ~ConnectionScope() {
    DB_Connection.reset();
    Area_Table_Exists = false;
  }
  ConnectionScope(const ConnectionScope&) = delete;
  ConnectionScope& operator=(const ConnectionScope&) = delete;
};

}  // namespace fernkartei::phone::testing
