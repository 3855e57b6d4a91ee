#pragma once
// A user's own Microsoft Access area-code file (Jet 3, Jet 4, ACE). Each platform reads it its own way:
// libmdb in a guarded child process on Linux (phone/posix/), the system's OLE DB provider through ADO
// on Windows (phone/windows/). Both answer the same three questions as the SQLite file we ship.

#include <memory>
#include <string>

#include "phone/database_file.h"

namespace fernkartei::phone {

class AreaCodeDatabase;

// True when the first bytes carry the Jet or ACE signature.
bool HasAccessSignature(const std::string& first_bytes);

// Opens the Access file at path, which carries the signature. Table and column names are compared
// without regard to ASCII case, as Access does. Throws support::Failure for a file that cannot be read.
std::unique_ptr<AreaCodeDatabase> OpenAccessAreaCodes(const std::string& path,
                                                      const DatabaseReadLimits& limits);

}  // namespace fernkartei::phone
