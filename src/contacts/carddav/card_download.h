#pragma once
// All cards of one address book, read into records as they arrive.

#include <string>
#include <vector>

#include "contacts/carddav/http_transport.h"
#include "contacts/contact_record.h"
#include "contacts/vcard_folder.h"

namespace fernkartei::contacts::carddav {

// The body of the REPORT that asks for every card at once.
std::string AddressBookQuery();

// One addressbook-query for every card; where the server refuses it, or leaves cards out of it, their
// list and addressbook-multiget in batches. The records come in the order of their hrefs, as a folder's
// cards come in the order of its file names. Each card is read by the vCard reader, `report` hearing
// what it passed over, named by the card's href.
std::vector<ContactRecord> DownloadCards(HttpTransport& http, const std::string& address_book_url,
                                         const Report& report);

}  // namespace fernkartei::contacts::carddav
