#include "contacts/carddav/dav_request.h"

#include "contacts/carddav/url.h"

namespace fernkartei::contacts::carddav {

HttpResponse SendDavRequest(HttpTransport& http, const HttpRequest& request,
                            const ResourceSink& on_resource) {
  const auto reader = MakeMultistatusReader(on_resource, request.method + " " + WithoutUserName(request.url));
  const HttpResponse response = http.Send(request, [&](std::string_view bytes) { reader->Feed(bytes); });
  reader->Finish();
  return response;
}

std::string XmlEscaped(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (const char c : text) {
    if (c == '&') {
      out += "&amp;";
    } else if (c == '<') {
      out += "&lt;";
    } else if (c == '>') {
      out += "&gt;";
    } else {
      out += c;
    }
  }
  return out;
}

}  // namespace fernkartei::contacts::carddav
