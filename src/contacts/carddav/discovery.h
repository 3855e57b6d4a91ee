#pragma once
// From the address a user gives to the address books it stands for: the address book itself, or those of
// a principal, or those of the user a server names at its well-known address (RFC 6764, RFC 6352).

#include <string>
#include <vector>

#include "contacts/carddav/carddav_source.h"
#include "contacts/carddav/http_transport.h"

namespace fernkartei::contacts::carddav {

// Throws RequestFailure or support::Failure; an empty list means the server knows no address book there.
std::vector<AddressBook> FindAddressBooks(HttpTransport& http, const std::string& url);

}  // namespace fernkartei::contacts::carddav
