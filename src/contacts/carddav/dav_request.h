#pragma once
// One WebDAV request whose multistatus answer is read resource by resource while it arrives.

#include <string>

#include "contacts/carddav/http_transport.h"
#include "contacts/carddav/multistatus.h"

namespace fernkartei::contacts::carddav {

// Sends the request and hands every <response> of the answer to `on_resource`. Throws what the
// transport and the XML reader throw.
HttpResponse SendDavRequest(HttpTransport& http, const HttpRequest& request, const ResourceSink& on_resource);

// `text` with &, < and > escaped, for an href inside a request body.
std::string XmlEscaped(const std::string& text);

}  // namespace fernkartei::contacts::carddav
