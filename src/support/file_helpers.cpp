#include "support/file_helpers.h"

namespace fernkartei::support {

std::string Add_Backslash(std::string_view path) {
  std::string result(path);
  if (result.empty() || result.back() != kPathSeparator) result += kPathSeparator;
  return result;
}

}  // namespace fernkartei::support
