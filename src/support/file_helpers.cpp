#include "support/file_helpers.h"

namespace fernkartei::support {

std::string Add_Backslash(std::string_view path) {
  std::string result(path);
  if (result.empty() || result.back() != kPathSeparator) result += kPathSeparator;
  return result;
}

std::filesystem::path PathFromUtf8(const std::string& utf8) {
  return std::filesystem::path(std::u8string(reinterpret_cast<const char8_t*>(utf8.data()), utf8.size()));
}

std::string Utf8FromPath(const std::filesystem::path& path) {
  const std::u8string text = path.u8string();
  return std::string(reinterpret_cast<const char*>(text.data()), text.size());
}

}  // namespace fernkartei::support
