#include "contacts/carddav/discovery.h"

#include <algorithm>

#include "contacts/carddav/dav_request.h"
#include "contacts/carddav/url.h"

namespace fernkartei::contacts::carddav {
namespace {

constexpr const char* kDiscoveryBody =
    "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
    "<D:propfind xmlns:D=\"DAV:\" xmlns:C=\"urn:ietf:params:xml:ns:carddav\"><D:prop>"
    "<D:resourcetype/><D:displayname/><D:current-user-principal/><C:addressbook-home-set/>"
    "</D:prop></D:propfind>";

struct Answer {
  std::string url;  // where it came from, for resolving its hrefs
  std::vector<DavResource> resources;
};

Answer Propfind(HttpTransport& http, const std::string& url, int depth) {
  Answer answer;
  answer.url = SendDavRequest(http, {"PROPFIND", url, depth, kDiscoveryBody}, [&](DavResource& r) {
                 answer.resources.push_back(std::move(r));
               }).url;
  return answer;
}

std::string LastPart(const std::string& url) {
  std::string path = url;
  while (!path.empty() && path.back() == '/') path.pop_back();
  return path.substr(path.rfind('/') + 1);
}

AddressBook BookOf(const Answer& answer, const DavResource& resource) {
  AddressBook book{resource.display_name, ResolveReference(answer.url, resource.href)};
  if (book.name.empty()) book.name = LastPart(book.url);
  return book;
}

std::vector<AddressBook> BooksIn(HttpTransport& http, const std::vector<std::string>& homes) {
  std::vector<AddressBook> books;
  for (const auto& home : homes) {
    http.ShareCredentialsWith(home);
    const Answer listing = Propfind(http, home, 1);
    for (const auto& resource : listing.resources) {
      if (!resource.address_book) continue;
      AddressBook book = BookOf(listing, resource);
      http.ShareCredentialsWith(book.url);
      bool known = false;
      for (const auto& b : books) known = known || b.url == book.url;
      if (!known) books.push_back(std::move(book));
    }
  }
  // In a steady order, whatever order the server lists them in.
  std::sort(books.begin(), books.end(), [](const auto& a, const auto& b) { return a.url < b.url; });
  return books;
}

std::vector<std::string> Resolved(const Answer& answer, const std::vector<std::string>& hrefs) {
  std::vector<std::string> urls;
  for (const auto& href : hrefs) urls.push_back(ResolveReference(answer.url, href));
  return urls;
}

// The address books one address leads to: itself, its home sets, or those of its principal.
std::vector<AddressBook> Explore(HttpTransport& http, const std::string& url) {
  const Answer here = Propfind(http, url, 0);
  if (here.resources.empty()) return {};
  const DavResource& self = here.resources.front();
  if (self.address_book) return {BookOf(here, self)};
  std::vector<std::string> homes = Resolved(here, self.address_book_homes);
  if (homes.empty() && !self.current_user_principal.empty()) {
    const std::string principal_url = ResolveReference(here.url, self.current_user_principal);
    http.ShareCredentialsWith(principal_url);
    const Answer principal = Propfind(http, principal_url, 0);
    if (!principal.resources.empty())
      homes = Resolved(principal, principal.resources.front().address_book_homes);
  }
  return BooksIn(http, homes);
}

bool IsServerAddress(const std::string& url) {
  const std::string shown = WithoutUserName(url);
  const auto path = shown.find('/', shown.find("://") + 3);
  return path == std::string::npos || shown.find_first_not_of('/', path) == std::string::npos;
}

}  // namespace

std::vector<AddressBook> FindAddressBooks(HttpTransport& http, const std::string& url) {
  if (!IsServerAddress(url)) return Explore(http, url);
  // A server's address: its well-known address leads to the user's principal; a server that has none
  // may still answer at its root.
  try {
    if (auto books = Explore(http, ResolveReference(url, "/.well-known/carddav")); !books.empty())
      return books;
  } catch (const RequestFailure& failure) {
    if (failure.status() == 0 || failure.status() == 401) throw;
  }
  return Explore(http, url);
}

}  // namespace fernkartei::contacts::carddav
