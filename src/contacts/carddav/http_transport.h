#pragma once
// The HTTP seam of the CardDAV source: one request at a time, the answer's body handed on in pieces as it
// arrives, so that a large address book never has to be held whole. libcurl here; a Windows build would
// put WinHTTP behind the same interface.

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "contacts/carddav/carddav_source.h"
#include "support/failure.h"

namespace fernkartei::contacts::carddav {

struct HttpRequest {
  std::string method;  // PROPFIND, REPORT
  std::string url;     // may carry a user name, never a password
  int depth = 0;       // the WebDAV Depth header
  std::string body;    // XML
};

struct HttpResponse {
  long status = 0;
  std::string url;  // where the answer came from after redirects, without user name
};

// A request that failed; the description says why in German and names the address without user name.
class RequestFailure : public support::Failure {
 public:
  // status: of an answer that was not 2xx; 0 when there was no such answer.
  RequestFailure(support::ErrorNumber number, const std::string& description, long status = 0)
      : Failure(number, description), status_(status) {}
  long status() const { return status_; }

 private:
  long status_;
};

// Receives the body of a successful (2xx) answer; may throw to end the transfer.
using BodySink = std::function<void(std::string_view)>;

class HttpTransport {
 public:
  virtual ~HttpTransport() = default;
  // Throws RequestFailure for every failure of transport or authentication, for an answer that is not
  // 2xx and for one over the size limit; what the body sink throws passes through.
  virtual HttpResponse Send(const HttpRequest& request, const BodySink& body) = 0;
  // The server named another host for the user's address books (iCloud does): the credentials may go
  // there too, but only over TLS, and only when they went to the first host over TLS.
  virtual void ShareCredentialsWith(const std::string& url) = 0;
};

// Credentials go only to the scheme, host and port of `first_url`: its user name, and the password from
// FERNKARTEI_CARDDAV_PASSWORD, else from ~/.netrc (or ~/_netrc).
std::unique_ptr<HttpTransport> MakeHttpTransport(const CardDavOptions& options, const std::string& first_url);

}  // namespace fernkartei::contacts::carddav
