#pragma once
// What both area-code backends say about a file they cannot use, and how they read its first bytes.

#include <cstddef>
#include <cstdint>
#include <string>

namespace fernkartei::phone {

// What reading one area-code file may take before it counts as damaged: seconds (an Access file: CPU
// seconds in its child process, the wall clock allowing twice that; SQLite: wall-clock seconds per
// query) and memory beyond what the program already uses.
struct DatabaseReadLimits {
  int seconds = 15;
  unsigned long long extra_memory = 1ull << 30;
};

// support::Failure 3343: "<subject> ist <verdict> (<why>)."
[[noreturn]] void ThrowDamaged(const std::string& subject, const std::string& verdict,
                               const std::string& why);
// support::Failure 70: "<subject> kann nicht gelesen werden."
[[noreturn]] void ThrowUnreadable(const std::string& subject);

// Up to count bytes from offset; fewer at the end of the file. Throws ThrowUnreadable's failure.
std::string ReadFileBytes(const std::string& path, const std::string& subject, std::size_t count,
                          std::uint64_t offset = 0);

}  // namespace fernkartei::phone
