#pragma once
// Contacts straight from a CardDAV server: the folder setting names an address book, a principal or a
// whole server by its http(s) address. The cards go through the same vCard reader, name rules and sort
// as a folder's files.

#include <chrono>
#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "contacts/vcard_source.h"
#include "export/contact_source.h"
#include "support/text.h"

namespace fernkartei::contacts {

// True when the folder setting is an http:// or https:// address (any letter case).
inline bool IsCardDavAddress(std::string_view folder_setting) {
  const std::string text = support::AsciiLower(support::Trim(folder_setting));
  return text.rfind("http://", 0) == 0 || text.rfind("https://", 0) == 0;
}

// Bounds of every conversation with a server. A broken or hostile server can make a run fail, but never
// make it wait for ever or fill the memory.
struct CardDavOptions {
  // A PEM file with the certificate that signed the server's own (or the server's certificate itself);
  // empty trusts the system's certificate store only. Verification is never switched off.
  std::string ca_file;
  std::chrono::milliseconds connect_timeout{std::chrono::seconds(20)};
  // For each request from its start to the last byte of the answer.
  std::chrono::milliseconds request_timeout{std::chrono::minutes(5)};
  long max_redirects = 5;
  // Of one answer, after any compression is undone; as large as the largest vCard file the folder
  // reader accepts.
  std::size_t max_response_bytes = std::size_t{1} << 30;
};

struct AddressBook {
  std::string name;  // the display name, or the last part of the address when it has none
  std::string url;   // without user name
};

// The address books the address stands for: itself when it is one, else those of its principal.
// Throws support::Failure whose description says why, in German.
std::vector<AddressBook> ListAddressBooks(const std::string& url, const CardDavOptions& options);

// Where CardDAV is not built (Windows, for now) the source fails at once and says so.
// GetDefaultFolder takes the address; each failure is described through `on_diagnostic` (German, no
// password, address without user name) before the call throws. Cards the reader passes over are
// described the same way, as for files.
std::unique_ptr<exporting::ContactSource> MakeCardDavSource(CardDavOptions options,
                                                            DiagnosticSink on_diagnostic = {});

}  // namespace fernkartei::contacts
