// Addresses through libcurl's URL parser, the same one that later sends the requests.

#include <curl/curl.h>

#include <memory>

#include "contacts/carddav/url.h"
#include "support/failure.h"
#include "support/text.h"

namespace fernkartei::contacts::carddav {
namespace {

using support::ErrorNumber;
using support::Failure;

struct UrlDeleter {
  void operator()(CURLU* url) const { curl_url_cleanup(url); }
};
using Url = std::unique_ptr<CURLU, UrlDeleter>;

Url Parse(const std::string& text) {
  Url url(curl_url());
  if (!url || curl_url_set(url.get(), CURLUPART_URL, text.c_str(), 0) != CURLUE_OK) {
    throw Failure(ErrorNumber::BadFileNameOrNumber, "Ungültige CardDAV-Adresse");
  }
  return url;
}

std::string Part(const Url& url, CURLUPart part, unsigned flags = 0) {
  char* text = nullptr;
  if (curl_url_get(url.get(), part, &text, flags) != CURLUE_OK || text == nullptr) return "";
  std::string out(text);
  curl_free(text);
  return out;
}

std::string Whole(const Url& url) {
  curl_url_set(url.get(), CURLUPART_USER, nullptr, 0);
  curl_url_set(url.get(), CURLUPART_PASSWORD, nullptr, 0);
  return Part(url, CURLUPART_URL);
}

}  // namespace

void CheckAddress(const std::string& url) {
  const Url parsed = Parse(url);
  const std::string scheme = support::AsciiLower(Part(parsed, CURLUPART_SCHEME));
  if (scheme != "http" && scheme != "https") {
    throw Failure(ErrorNumber::BadFileNameOrNumber, "CardDAV-Adressen beginnen mit https:// oder http://");
  }
  if (!Part(parsed, CURLUPART_PASSWORD).empty()) {
    throw Failure(ErrorNumber::PermissionDenied,
                  "Das Passwort gehört nicht in die CardDAV-Adresse " + WithoutUserName(url) +
                      ": bitte in ~/.netrc oder in FERNKARTEI_CARDDAV_PASSWORD angeben");
  }
}

std::string WithoutUserName(const std::string& url) {
  return Whole(Parse(url));
}

std::string WithUserName(const std::string& url, const std::string& user) {
  const Url parsed = Parse(url);
  curl_url_set(parsed.get(), CURLUPART_USER, user.c_str(), CURLU_URLENCODE);
  return Part(parsed, CURLUPART_URL);
}

std::string UserNameOf(const std::string& url) {
  return Part(Parse(url), CURLUPART_USER, CURLU_URLDECODE);
}

std::string OriginOf(const std::string& url) {
  const Url parsed = Parse(url);
  return support::AsciiLower(Part(parsed, CURLUPART_SCHEME) + "://" + Part(parsed, CURLUPART_HOST) + ":" +
                             Part(parsed, CURLUPART_PORT, CURLU_DEFAULT_PORT));
}

bool IsLoopback(const std::string& url) {
  const std::string host = support::AsciiLower(Part(Parse(url), CURLUPART_HOST));
  return host == "localhost" || host.rfind("127.", 0) == 0 || host == "[::1]";
}

std::string ResolveReference(const std::string& base, const std::string& reference) {
  const Url parsed = Parse(base);
  // Setting a reference on a parsed address resolves it as a browser would.
  if (curl_url_set(parsed.get(), CURLUPART_URL, reference.c_str(), 0) != CURLUE_OK) {
    throw Failure(ErrorNumber::BadFileNameOrNumber, "Ungültige Adresse in der Antwort des Servers");
  }
  return Whole(parsed);
}

}  // namespace fernkartei::contacts::carddav
