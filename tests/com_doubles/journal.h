#pragma once
// What a double recorded: its journal, one call a line.

#include <string>
#include <vector>

#include "support/temp_folder.h"

namespace fernkartei::testing {

inline std::vector<std::string> JournalLines(const TempFolder& folder, const std::string& name) {
  const std::string text = folder.Read(name);
  std::vector<std::string> lines;
  for (std::size_t start = 0; start < text.size();) {
    const std::size_t end = std::min(text.find('\n', start), text.size());
    lines.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return lines;
}

}  // namespace fernkartei::testing
