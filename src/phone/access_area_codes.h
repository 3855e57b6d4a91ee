#pragma once
// A user's own Microsoft Access area-code file (Jet 3, Jet 4, ACE). Each platform reads it its own way:
// libmdb in a guarded child process on Linux (phone/posix/), the system's OLE DB provider through ADO
// on Windows (phone/windows/). Both answer the same three questions as the SQLite file we ship.

#include <memory>
#include <string>

namespace fernkartei::phone {

class AreaCodeDatabase;

// What reading one file may take before it counts as damaged: CPU seconds (the wall clock allows twice
// that) and memory beyond what the program already maps. Where the file is read in a child process.
struct AccessReadLimits {
  int seconds = 15;
  unsigned long long extra_memory = 1ull << 30;
};

// True when the first bytes carry the Jet or ACE signature.
bool HasAccessSignature(const std::string& first_bytes);

// Opens the Access file at path, which carries the signature. Table and column names are compared
// without regard to ASCII case, as Access does. Throws support::Failure for a file that cannot be read.
std::unique_ptr<AreaCodeDatabase> OpenAccessAreaCodes(const std::string& path,
                                                      const AccessReadLimits& limits);

}  // namespace fernkartei::phone
