#include "phone/database_file.h"

#include <fstream>

#include "support/failure.h"
#include "support/file_helpers.h"

namespace fernkartei::phone {

void ThrowDamaged(const std::string& subject, const std::string& verdict, const std::string& why) {
  throw support::Failure(support::ErrorNumber::UnrecognizedDatabaseFormat,
                         subject + " ist " + verdict + " (" + why + ").");
}

void ThrowUnreadable(const std::string& subject) {
  throw support::Failure(support::ErrorNumber::PermissionDenied, subject + " kann nicht gelesen werden.");
}

std::string ReadFileBytes(const std::string& path, const std::string& subject, std::size_t count,
                          std::uint64_t offset) {
  std::ifstream in(support::PathFromUtf8(path), std::ios::binary);
  if (!in) ThrowUnreadable(subject);
  in.seekg(static_cast<std::streamoff>(offset));
  std::string bytes(count, '\0');
  in.read(bytes.data(), static_cast<std::streamsize>(count));
  bytes.resize(static_cast<std::size_t>(in.gcount()));
  return bytes;
}

}  // namespace fernkartei::phone
