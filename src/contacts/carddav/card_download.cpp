#include "contacts/carddav/card_download.h"

#include <algorithm>
#include <numeric>

#include "contacts/carddav/dav_request.h"

namespace fernkartei::contacts::carddav {
namespace {

constexpr std::size_t kMultigetBatch = 200;

// Only what the export reads; a server that honours it leaves out photos, notes and addresses.
std::string AddressDataElement() {
  std::string element = "<D:prop><C:address-data><C:prop name=\"VERSION\"/>";
  for (const std::string_view name : kContactPropertyNames)
    element += "<C:prop name=\"" + std::string(name) + "\"/>";
  return element + "</C:address-data></D:prop>";
}

}  // namespace

std::string AddressBookQuery() {
  // A filter without conditions matches every card.
  return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
         "<C:addressbook-query xmlns:D=\"DAV:\" xmlns:C=\"urn:ietf:params:xml:ns:carddav\">" +
         AddressDataElement() + "<C:filter/></C:addressbook-query>";
}

namespace {

std::string MultigetBody(const std::vector<std::string>& hrefs, std::size_t first, std::size_t end) {
  std::string body =
      "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
      "<C:addressbook-multiget xmlns:D=\"DAV:\" xmlns:C=\"urn:ietf:params:xml:ns:carddav\">" +
      AddressDataElement();
  for (std::size_t i = first; i < end; ++i) body += "<D:href>" + XmlEscaped(hrefs[i]) + "</D:href>";
  return body + "</C:addressbook-multiget>";
}

constexpr const char* kMembersBody =
    "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
    "<D:propfind xmlns:D=\"DAV:\"><D:prop><D:resourcetype/><D:getetag/></D:prop></D:propfind>";

// The records of one href lie side by side.
struct Span {
  std::string href;
  std::size_t first;
  std::size_t count;
};

class Download {
 public:
  Download(HttpTransport& http, std::string url, const Report& report)
      : http_(http), url_(std::move(url)), report_(report) {}

  std::vector<ContactRecord> Run() {
    std::vector<std::string> missing;
    bool queried = true;
    try {
      Fetch({"REPORT", url_, 1, AddressBookQuery()}, &missing);
    } catch (const RequestFailure& failure) {
      const long status = failure.status();
      if (status == 0 || status == 401 || status == 404) throw;
      queried = false;
    }
    // Also when the query found nothing: a server that reads a filter without conditions as "no card"
    // must not empty the phonebook.
    if (!queried || spans_.empty()) missing = Members();
    for (std::size_t first = 0; first < missing.size(); first += kMultigetBatch) {
      const std::size_t end = std::min(missing.size(), first + kMultigetBatch);
      Fetch({"REPORT", url_, 1, MultigetBody(missing, first, end)}, nullptr);
    }
    return InHrefOrder();
  }

 private:
  void Fetch(const HttpRequest& request, std::vector<std::string>* without_data) {
    SendDavRequest(http_, request, [&](DavResource& resource) {
      if (resource.address_data) {
        const std::size_t first = records_.size();
        ReadVCardText(std::move(*resource.address_data), resource.href, report_, records_);
        spans_.push_back({std::move(resource.href), first, records_.size() - first});
      } else if (without_data != nullptr && !resource.collection && resource.status / 100 == 2) {
        without_data->push_back(std::move(resource.href));
      }
    });
  }

  // The hrefs of the cards in the address book.
  std::vector<std::string> Members() {
    std::vector<std::string> hrefs;
    SendDavRequest(http_, {"PROPFIND", url_, 1, kMembersBody}, [&](DavResource& resource) {
      if (!resource.collection && resource.status / 100 == 2) hrefs.push_back(std::move(resource.href));
    });
    return hrefs;
  }

  std::vector<ContactRecord> InHrefOrder() {
    std::vector<std::size_t> order(spans_.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t a, std::size_t b) { return spans_[a].href < spans_[b].href; });
    std::vector<ContactRecord> sorted;
    sorted.reserve(records_.size());
    for (const std::size_t s : order) {
      for (std::size_t i = 0; i < spans_[s].count; ++i)
        sorted.push_back(std::move(records_[spans_[s].first + i]));
    }
    return sorted;
  }

  HttpTransport& http_;
  std::string url_;
  const Report& report_;
  std::vector<ContactRecord> records_;
  std::vector<Span> spans_;
};

}  // namespace

std::vector<ContactRecord> DownloadCards(HttpTransport& http, const std::string& address_book_url,
                                         const Report& report) {
  return Download(http, address_book_url, report).Run();
}

}  // namespace fernkartei::contacts::carddav
