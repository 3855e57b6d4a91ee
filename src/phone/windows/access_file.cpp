// A user's own Access file on Windows is read through the system's OLE DB provider (ADO), which is not
// here yet: such a file fails to open with a clear message, like any database that cannot be opened.
#include "phone/access_file.h"

#include "support/failure.h"

namespace fernkartei::phone {

bool HasAccessSignature(const std::string& first_bytes) {
  if (first_bytes.size() < 20) return false;
  const std::string_view head(first_bytes.data(), 20);
  using namespace std::string_view_literals;
  return head == "\x00\x01\x00\x00Standard Jet DB\x00"sv || head == "\x00\x01\x00\x00Standard ACE DB\x00"sv;
}

AccessContents ReadAccessFile(const std::string& path, const std::string&, const std::string&) {
  throw support::Failure(support::ErrorNumber::CannotCreateObject,
                         "Die Access-Datei " + path + " kann diese Version unter Windows noch nicht lesen.");
}

}  // namespace fernkartei::phone
