#include "support/whole_file.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <system_error>
#include <vector>

namespace fernkartei::support {

WholeFile ReadWholeFile(const std::filesystem::path& file, std::uintmax_t largest) {
  WholeFile result;
  std::error_code ec;
  const auto size = std::filesystem::file_size(file, ec);
  if (!ec && size > largest) {
    result.too_large = true;
    return result;
  }
  errno = 0;
  std::ifstream in(file, std::ios::binary);
  if (!in) {
    result.failure = errno != 0 ? std::strerror(errno) : "kann nicht geöffnet werden";
    return result;
  }
  // Straight into place when the size is known; in pieces for files that do not tell it.
  std::string& bytes = result.bytes;
  bytes.assign(ec ? 0 : static_cast<std::size_t>(size), '\0');
  in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  bytes.resize(static_cast<std::size_t>(in.gcount()));
  std::vector<char> chunk(1 << 16);
  while (in) {
    in.read(chunk.data(), static_cast<std::streamsize>(chunk.size()));
    bytes.append(chunk.data(), static_cast<std::size_t>(in.gcount()));
  }
  if (in.bad()) {
    result.failure = "Lesefehler";
    bytes.clear();
    return result;
  }
  result.read = true;
  return result;
}

}  // namespace fernkartei::support
