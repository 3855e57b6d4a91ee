#pragma once
// Reading a whole file into memory, with an upper bound on its size: a file far larger than its kind
// ever is is almost surely something else, and reading it whole could exhaust memory.

#include <cstdint>
#include <filesystem>
#include <string>

namespace fernkartei::support {

struct WholeFile {
  bool read = false;
  bool too_large = false;  // larger than the caller's bound: not read
  std::string bytes;
  std::string failure;  // why else it could not be read; empty when it was
};

WholeFile ReadWholeFile(const std::filesystem::path& file, std::uintmax_t largest);

}  // namespace fernkartei::support
