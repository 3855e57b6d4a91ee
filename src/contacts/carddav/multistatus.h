#pragma once
// The XML seam of the CardDAV source: a WebDAV multistatus answer read piece by piece as it arrives,
// each <response> handed on as soon as it is complete, so that only one card is held at a time.
// libxml2 here, with network access, DTDs and entity expansion off.

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace fernkartei::contacts::carddav {

// What one <response> says of a resource, from its propstats with a 2xx status only.
struct DavResource {
  std::string href;
  long status = 200;  // the response's own status, when it has one instead of propstats
  std::string display_name;
  bool collection = false;
  bool address_book = false;
  std::string current_user_principal;           // an href
  std::vector<std::string> address_book_homes;  // hrefs
  std::optional<std::string> address_data;      // the vCard text
};

class MultistatusReader {
 public:
  virtual ~MultistatusReader() = default;
  // Throws support::Failure (German) as soon as the bytes are not well-formed XML or hold a DTD.
  virtual void Feed(std::string_view bytes) = 0;
  // The end of the answer: throws when the document is incomplete.
  virtual void Finish() = 0;
};

using ResourceSink = std::function<void(DavResource&)>;

// `source` names the answer in messages.
std::unique_ptr<MultistatusReader> MakeMultistatusReader(ResourceSink on_resource, std::string source);

}  // namespace fernkartei::contacts::carddav
