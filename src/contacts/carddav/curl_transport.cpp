// HTTP through libcurl: one handle for all requests of a run, so that the connection and the
// authentication are reused.

#include <curl/curl.h>

#include <algorithm>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "contacts/carddav/http_transport.h"
#include "contacts/carddav/url.h"

namespace fernkartei::contacts::carddav {
namespace {

using support::ErrorNumber;

constexpr const char* kPasswordVariable = "FERNKARTEI_CARDDAV_PASSWORD";

struct CurlDeleter {
  void operator()(CURL* handle) const { curl_easy_cleanup(handle); }
  void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};

std::string NetrcFile() {
  const char* home = std::getenv("HOME");
  if (home == nullptr || *home == '\0') return "";
  const std::filesystem::path folder(home);
  std::error_code ec;
  if (!std::filesystem::exists(folder / ".netrc", ec) && std::filesystem::exists(folder / "_netrc", ec)) {
    return (folder / "_netrc").string();
  }
  return (folder / ".netrc").string();
}

std::string StatusText(long status, const std::string& url) {
  switch (status) {
    case 401:
      return "HTTP 401, Anmeldung abgelehnt (Benutzername und Passwort in ~/.netrc oder " +
             std::string(kPasswordVariable) + " prüfen" +
             (url.rfind("http:", 0) == 0 && !IsLoopback(url)
                  ? "; ohne TLS geht das Passwort nur mit Digest an einen anderen Rechner, https:// nutzen)"
                  : ")");
    case 403:
      return "HTTP 403, Zugriff verweigert";
    case 404:
      return "HTTP 404, nicht gefunden";
    default:
      return "HTTP " + std::to_string(status);
  }
}

class CurlTransport : public HttpTransport {
 public:
  CurlTransport(const CardDavOptions& options, const std::string& first_url)
      : options_(options),
        origins_{OriginOf(first_url)},
        user_(UserNameOf(first_url)),
        over_tls_(OriginOf(first_url).rfind("https:", 0) == 0),
        handle_(curl_easy_init()) {
    if (!handle_) throw RequestFailure(ErrorNumber::OutOfMemory, "libcurl lässt sich nicht starten");
    if (const char* password = std::getenv(kPasswordVariable); password != nullptr && *password != '\0') {
      password_ = password;
    }
    netrc_ = NetrcFile();
    CURL* h = handle_.get();
    curl_easy_setopt(h, CURLOPT_PROTOCOLS_STR, "http,https");
    // Once on TLS, a redirect may not drop to plain HTTP.
    curl_easy_setopt(h, CURLOPT_REDIR_PROTOCOLS_STR, over_tls_ ? "https" : "http,https");
    curl_easy_setopt(h, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(h, CURLOPT_MAXREDIRS, options_.max_redirects);
    // A redirected PROPFIND or REPORT keeps its method and its body.
    curl_easy_setopt(h, CURLOPT_POSTREDIR, static_cast<long>(CURL_REDIR_POST_ALL));
    curl_easy_setopt(h, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(options_.connect_timeout.count()));
    curl_easy_setopt(h, CURLOPT_TIMEOUT_MS, static_cast<long>(options_.request_timeout.count()));
    curl_easy_setopt(h, CURLOPT_ACCEPT_ENCODING, "");
    curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(h, CURLOPT_USERAGENT, "Fernkartei");
    if (!options_.ca_file.empty()) curl_easy_setopt(h, CURLOPT_CAINFO, options_.ca_file.c_str());
    curl_easy_setopt(h, CURLOPT_ERRORBUFFER, error_);
    curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, &CurlTransport::OnBody);
    curl_easy_setopt(h, CURLOPT_WRITEDATA, this);
  }

  void ShareCredentialsWith(const std::string& url) override {
    const std::string origin = OriginOf(url);
    if (over_tls_ && origin.rfind("https:", 0) == 0 &&
        std::find(origins_.begin(), origins_.end(), origin) == origins_.end()) {
      origins_.push_back(origin);
    }
  }

  HttpResponse Send(const HttpRequest& request, const BodySink& body) override {
    const std::string shown = request.method + " " + WithoutUserName(request.url);
    const CURLcode result = Perform(request, body);
    if (sink_failure_) std::rethrow_exception(sink_failure_);
    if (too_large_) {
      throw RequestFailure(ErrorNumber::OutOfMemory, shown + ": Antwort länger als " +
                                                         std::to_string(options_.max_response_bytes) +
                                                         " Bytes, abgebrochen");
    }
    if (result != CURLE_OK) throw TransportFailure(result, shown);

    HttpResponse response;
    curl_easy_getinfo(handle_.get(), CURLINFO_RESPONSE_CODE, &response.status);
    char* effective = nullptr;
    curl_easy_getinfo(handle_.get(), CURLINFO_EFFECTIVE_URL, &effective);
    response.url = WithoutUserName(effective != nullptr ? effective : request.url);
    if (response.status < 200 || response.status > 299) {
      const ErrorNumber number = response.status == 404 ? ErrorNumber::PathNotFound
                                 : response.status == 401 || response.status == 403
                                     ? ErrorNumber::PermissionDenied
                                     : ErrorNumber::DeviceIoError;
      throw RequestFailure(
          number, request.method + " " + response.url + ": " + StatusText(response.status, request.url),
          response.status);
    }
    return response;
  }

 private:
  CURLcode Perform(const HttpRequest& request, const BodySink& body) {
    CURL* h = handle_.get();
    curl_slist* headers = nullptr;
    for (const std::string& line :
         {"Depth: " + std::to_string(request.depth),
          std::string("Content-Type: application/xml; charset=utf-8"), std::string("Expect:")}) {
      curl_slist* longer = curl_slist_append(headers, line.c_str());
      if (longer != nullptr) headers = longer;
    }
    const std::unique_ptr<curl_slist, CurlDeleter> owned(headers);
    const std::string url = UseCredentialsFor(request.url);
    curl_easy_setopt(h, CURLOPT_URL, url.c_str());
    curl_easy_setopt(h, CURLOPT_CUSTOMREQUEST, request.method.c_str());
    curl_easy_setopt(h, CURLOPT_POSTFIELDS, request.body.c_str());
    curl_easy_setopt(h, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(request.body.size()));
    curl_easy_setopt(h, CURLOPT_HTTPHEADER, headers);
    body_ = &body;
    received_ = 0;
    too_large_ = false;
    sink_failure_ = nullptr;
    error_[0] = '\0';
    const CURLcode result = curl_easy_perform(h);
    body_ = nullptr;
    curl_easy_setopt(h, CURLOPT_HTTPHEADER, nullptr);
    return result;
  }

  static std::size_t OnBody(char* data, std::size_t, std::size_t size, void* user) {
    auto& self = *static_cast<CurlTransport*>(user);
    self.received_ += size;
    if (self.received_ > self.options_.max_response_bytes) {
      self.too_large_ = true;
      return 0;
    }
    long status = 0;
    curl_easy_getinfo(self.handle_.get(), CURLINFO_RESPONSE_CODE, &status);
    if (status < 200 || status > 299 || self.body_ == nullptr) return size;
    try {
      (*self.body_)(std::string_view(data, size));
    } catch (...) {
      self.sink_failure_ = std::current_exception();
      return 0;
    }
    return size;
  }

  // A password goes only where the user pointed, and in clear text only over TLS or to this machine.
  // Returns the address to ask.
  std::string UseCredentialsFor(const std::string& url) {
    CURL* h = handle_.get();
    const bool own_server = std::find(origins_.begin(), origins_.end(), OriginOf(url)) != origins_.end();
    const bool from_variable = own_server && !password_.empty();
    const bool from_netrc = own_server && password_.empty() && !netrc_.empty();
    curl_easy_setopt(h, CURLOPT_USERNAME, from_variable ? user_.c_str() : nullptr);
    curl_easy_setopt(h, CURLOPT_PASSWORD, from_variable ? password_.c_str() : nullptr);
    curl_easy_setopt(h, CURLOPT_NETRC,
                     static_cast<long>(from_netrc ? CURL_NETRC_OPTIONAL : CURL_NETRC_IGNORED));
    curl_easy_setopt(h, CURLOPT_NETRC_FILE, from_netrc ? netrc_.c_str() : nullptr);
    const bool clear_text_allowed = over_tls_ || IsLoopback(url);
    curl_easy_setopt(h, CURLOPT_HTTPAUTH,
                     clear_text_allowed ? CURLAUTH_BASIC | CURLAUTH_DIGEST : CURLAUTH_DIGEST);
    // libcurl looks a user up in the netrc file only by the address's own user name.
    return from_netrc && !user_.empty() ? WithUserName(url, user_) : url;
  }

  RequestFailure TransportFailure(CURLcode result, const std::string& shown) const {
    const std::string detail = error_[0] != '\0' ? error_ : curl_easy_strerror(result);
    switch (result) {
      case CURLE_OPERATION_TIMEDOUT:
        return {ErrorNumber::DeviceIoError, shown + ": Zeitüberschreitung (" + detail + ")"};
      case CURLE_COULDNT_RESOLVE_HOST:
      case CURLE_COULDNT_CONNECT:
        return {ErrorNumber::DeviceIoError, shown + ": keine Verbindung (" + detail + ")"};
      case CURLE_PEER_FAILED_VERIFICATION:
      case CURLE_SSL_CACERT_BADFILE:
        return {ErrorNumber::PermissionDenied,
                shown + ": dem Zertifikat des Servers wird nicht vertraut (" + detail +
                    "); ein eigenes Zertifikat nennen --ca-file oder der Schlüssel CardDAV-Zertifikat"};
      case CURLE_TOO_MANY_REDIRECTS:
        return {ErrorNumber::DeviceIoError, shown + ": zu viele Weiterleitungen"};
      default:
        return {ErrorNumber::DeviceIoError, shown + ": Übertragungsfehler (" + detail + ")"};
    }
  }

  CardDavOptions options_;
  std::vector<std::string> origins_;  // where credentials may go
  std::string user_;
  std::string password_;
  std::string netrc_;
  bool over_tls_;
  std::unique_ptr<CURL, CurlDeleter> handle_;
  char error_[CURL_ERROR_SIZE] = {};
  const BodySink* body_ = nullptr;
  std::size_t received_ = 0;
  bool too_large_ = false;
  std::exception_ptr sink_failure_;
};

}  // namespace

std::unique_ptr<HttpTransport> MakeHttpTransport(const CardDavOptions& options,
                                                 const std::string& first_url) {
  static const bool ready = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
  if (!ready) throw RequestFailure(ErrorNumber::OutOfMemory, "libcurl lässt sich nicht starten");
  return std::make_unique<CurlTransport>(options, first_url);
}

}  // namespace fernkartei::contacts::carddav
