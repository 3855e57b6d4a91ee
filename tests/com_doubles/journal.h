#pragma once
// What a double recorded: its journal, one call a line.

#include <sstream>
#include <string>
#include <vector>

#include "fixtures/temp_folder.h"

namespace fernkartei::testing {

inline std::vector<std::string> JournalLines(const TempFolder& folder, const std::string& name) {
  std::istringstream text(folder.Read(name));
  std::vector<std::string> lines;
  for (std::string line; std::getline(text, line);) lines.push_back(line);
  return lines;
}

}  // namespace fernkartei::testing
