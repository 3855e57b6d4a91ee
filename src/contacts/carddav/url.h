#pragma once
// The few operations on addresses that finding an address book needs.

#include <string>

namespace fernkartei::contacts::carddav {

// Throws support::Failure (German) for an address that is not http(s), is malformed or carries a
// password: passwords belong in ~/.netrc or FERNKARTEI_CARDDAV_PASSWORD, never in a setting.
void CheckAddress(const std::string& url);

// The address as it may be shown: user name left out.
std::string WithoutUserName(const std::string& url);

// The address with this user name (encoded as an address needs it).
std::string WithUserName(const std::string& url, const std::string& user);

// The user name the address carries, decoded; empty without one.
std::string UserNameOf(const std::string& url);

// Scheme, host and port, the part of an address that credentials are tied to.
std::string OriginOf(const std::string& url);

// True for localhost and the loopback addresses: a password may travel there without TLS.
bool IsLoopback(const std::string& url);

// An href of a server's answer (absolute, a path, or relative) made absolute against the address the
// answer came from, without user name.
std::string ResolveReference(const std::string& base, const std::string& reference);

}  // namespace fernkartei::contacts::carddav
