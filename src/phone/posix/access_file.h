#pragma once
// Reading a user's Microsoft Access file (Jet 3, Jet 4, ACE) with libmdb. libmdb trusts the page numbers
// and lengths inside the file, so the file is checked first and then read in a child process: a damaged
// file becomes an open failure, never a crash of the program.

#include <optional>
#include <string>
#include <vector>

#include "phone/access_area_codes.h"

namespace fernkartei::phone {

struct AccessContents {
  // The user tables whose definition and columns could be read.
  std::vector<std::string> tables;
  // The values of the one column asked for; empty when the table or the column is missing.
  std::optional<std::vector<std::string>> column;
};

// Throws support::Failure when the file is not laid out like an Access file (size, signature, version,
// page size, catalog page).
void CheckAccessFileLayout(const std::string& path);
// Lists the tables and reads one text column. Table and column names are compared without regard to
// ASCII case, as Access does. Throws support::Failure for a missing, unreadable or damaged file.
AccessContents ReadAccessFile(const std::string& path, const std::string& table, const std::string& column,
                              const DatabaseReadLimits& limits = {});

}  // namespace fernkartei::phone
