#pragma once
// Making the area-code database we ship: the list of area codes (ortsnetzkennzahlen.csv) written into
// an SQLite file with table sVorwahlen. Used by the build's generator and by tests that need a database
// with chosen codes. Depends on SQLite and the standard library only, so the generator can be built
// before the core.

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace fernkartei::phone {

struct AreaCodeRow {
  std::string code;   // Ortsnetzkennzahl, digits without the trunk "0"
  std::string place;  // Ortsnetzname

  bool operator==(const AreaCodeRow&) const = default;
};

class AreaCodeFileError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// "Ortsnetzkennzahl;Ortsnetzname" and one "code;place" per line (UTF-8, LF or CR LF, BOM tolerated).
// Throws AreaCodeFileError naming the line for a missing header, a code that is not 1 to 8 digits or
// begins with "0", or a code given twice: a wrong list must stop the build, not ship.
std::vector<AreaCodeRow> ParseAreaCodeList(std::string_view text);

// Writes the rows into a new SQLite file at path, replacing it only once the new file is complete. The
// same rows always give the same bytes. Throws AreaCodeFileError.
void WriteAreaCodeDatabase(const std::string& path, const std::vector<AreaCodeRow>& rows);

}  // namespace fernkartei::phone
