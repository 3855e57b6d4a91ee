// A multistatus answer through libxml2's push parser with namespace-aware SAX callbacks: nothing but the
// current response is kept. A DTD ends the parse at once, so that no entity is ever declared, let alone
// expanded or fetched (a WebDAV answer never carries one).

#include <libxml/parser.h>
#include <libxml/xmlerror.h>

#include <cstring>
#include <exception>
#include <string>
#include <vector>

#include "contacts/carddav/multistatus.h"
#include "support/failure.h"

namespace fernkartei::contacts::carddav {
namespace {

using support::ErrorNumber;
using support::Failure;

// Of one text in the answer, a card above all: a card with photos has a few megabytes, so this is far
// beyond any real one and keeps a hostile answer from filling the memory with a single text.
constexpr std::size_t kLargestText = std::size_t{64} << 20;

constexpr std::string_view kDav = "DAV:";
constexpr std::string_view kCardDav = "urn:ietf:params:xml:ns:carddav";

enum class Kind {
  Other,
  Response,
  Href,
  Propstat,
  Status,
  ResourceType,
  Collection,
  AddressBook,
  DisplayName,
  Principal,
  HomeSet,
  AddressData
};

Kind KindOf(const xmlChar* uri, const xmlChar* local_name) {
  const std::string_view ns = uri != nullptr ? reinterpret_cast<const char*>(uri) : "";
  const std::string_view name = reinterpret_cast<const char*>(local_name);
  if (ns == kDav) {
    if (name == "response") return Kind::Response;
    if (name == "href") return Kind::Href;
    if (name == "propstat") return Kind::Propstat;
    if (name == "status") return Kind::Status;
    if (name == "resourcetype") return Kind::ResourceType;
    if (name == "collection") return Kind::Collection;
    if (name == "displayname") return Kind::DisplayName;
    if (name == "current-user-principal") return Kind::Principal;
  } else if (ns == kCardDav) {
    if (name == "addressbook") return Kind::AddressBook;
    if (name == "addressbook-home-set") return Kind::HomeSet;
    if (name == "address-data") return Kind::AddressData;
  }
  return Kind::Other;
}

bool HoldsText(Kind kind) {
  return kind == Kind::Href || kind == Kind::Status || kind == Kind::DisplayName || kind == Kind::AddressData;
}

std::string Trimmed(const std::string& text) {
  const auto first = text.find_first_not_of(" \t\r\n");
  if (first == std::string::npos) return "";
  return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

// "HTTP/1.1 404 Not Found" gives 404; anything unreadable 0.
long StatusCode(const std::string& line) {
  const auto space = line.find(' ');
  if (space == std::string::npos) return 0;
  long code = 0;
  for (std::size_t i = space + 1; i < line.size() && line[i] >= '0' && line[i] <= '9' && code < 1000; ++i) {
    code = code * 10 + (line[i] - '0');
  }
  return code;
}

class Libxml2Reader : public MultistatusReader {
 public:
  Libxml2Reader(ResourceSink on_resource, std::string source)
      : on_resource_(std::move(on_resource)), source_(std::move(source)) {
    xmlSAXHandler sax;
    std::memset(&sax, 0, sizeof sax);
    sax.initialized = XML_SAX2_MAGIC;
    sax.startElementNs = &Libxml2Reader::OnStart;
    sax.endElementNs = &Libxml2Reader::OnEnd;
    sax.characters = &Libxml2Reader::OnText;
    sax.cdataBlock = &Libxml2Reader::OnText;
    sax.internalSubset = &Libxml2Reader::OnDoctype;
    sax.serror = &Libxml2Reader::OnError;
    parser_ = xmlCreatePushParserCtxt(&sax, this, nullptr, 0, nullptr);
    if (parser_ == nullptr) throw Failure(ErrorNumber::OutOfMemory);
    // Entity substitution and DTD loading stay off (their flags are not given); no network at all.
    xmlCtxtUseOptions(parser_, XML_PARSE_NONET | XML_PARSE_NOWARNING);
  }
  ~Libxml2Reader() override { xmlFreeParserCtxt(parser_); }
  Libxml2Reader(const Libxml2Reader&) = delete;
  Libxml2Reader& operator=(const Libxml2Reader&) = delete;

  void Feed(std::string_view bytes) override {
    while (!bytes.empty()) {
      const std::size_t piece = std::min<std::size_t>(bytes.size(), 1 << 20);
      Parse(bytes.data(), static_cast<int>(piece), false);
      bytes.remove_prefix(piece);
    }
  }

  void Finish() override { Parse(nullptr, 0, true); }

 private:
  static Libxml2Reader& Self(void* context) { return *static_cast<Libxml2Reader*>(context); }

  void Parse(const char* bytes, int size, bool last) {
    const int result = xmlParseChunk(parser_, bytes, size, last ? 1 : 0);
    if (failure_) std::rethrow_exception(failure_);
    if (doctype_) {
      throw Failure(ErrorNumber::DeviceIoError,
                    source_ + ": Antwort mit DTD, aus Sicherheitsgründen nicht gelesen");
    }
    if (result != 0 || parser_->wellFormed == 0) {
      throw Failure(ErrorNumber::DeviceIoError, source_ + ": Antwort ist kein gültiges XML (" +
                                                    (error_.empty() ? "unvollständig" : error_) + ")");
    }
  }

  // Every callback keeps exceptions out of libxml2's C frames and stops the parser instead.
  template <typename Action>
  void Guarded(Action action) {
    if (failure_) return;
    try {
      action();
    } catch (...) {
      failure_ = std::current_exception();
      xmlStopParser(parser_);
    }
  }

  static void OnStart(void* context, const xmlChar* local_name, const xmlChar*, const xmlChar* uri, int,
                      const xmlChar**, int, int, const xmlChar**) {
    Libxml2Reader& self = Self(context);
    self.Guarded([&] {
      const Kind kind = KindOf(uri, local_name);
      const Kind parent = self.open_.empty() ? Kind::Other : self.open_.back();
      self.open_.push_back(kind);
      if (HoldsText(kind)) {
        self.text_.clear();
        self.capturing_ = true;
      }
      if (kind == Kind::Response) self.current_ = DavResource();
      if (kind == Kind::Propstat) {
        self.props_ = DavResource();
        self.propstat_status_ = 200;
      }
      if (parent == Kind::ResourceType && kind == Kind::Collection) self.props_.collection = true;
      if (parent == Kind::ResourceType && kind == Kind::AddressBook) self.props_.address_book = true;
    });
  }

  static void OnEnd(void* context, const xmlChar*, const xmlChar*, const xmlChar*) {
    Libxml2Reader& self = Self(context);
    self.Guarded([&] {
      if (self.open_.empty()) return;
      const Kind kind = self.open_.back();
      self.open_.pop_back();
      const Kind parent = self.open_.empty() ? Kind::Other : self.open_.back();
      self.capturing_ = false;
      self.Close(kind, parent);
    });
  }

  void Close(Kind kind, Kind parent) {
    switch (kind) {
      case Kind::Href:
        if (parent == Kind::Response) current_.href = Trimmed(text_);
        if (parent == Kind::Principal) props_.current_user_principal = Trimmed(text_);
        if (parent == Kind::HomeSet) props_.address_book_homes.push_back(Trimmed(text_));
        break;
      case Kind::Status:
        (parent == Kind::Propstat ? propstat_status_ : current_.status) = StatusCode(Trimmed(text_));
        break;
      case Kind::DisplayName:
        props_.display_name = Trimmed(text_);
        break;
      case Kind::AddressData:
        props_.address_data = std::move(text_);
        text_.clear();
        break;
      case Kind::Propstat:
        if (propstat_status_ >= 200 && propstat_status_ <= 299) Merge();
        break;
      case Kind::Response:
        if (!current_.href.empty()) on_resource_(current_);
        break;
      default:
        break;
    }
  }

  void Merge() {
    if (!props_.display_name.empty()) current_.display_name = std::move(props_.display_name);
    current_.collection = current_.collection || props_.collection;
    current_.address_book = current_.address_book || props_.address_book;
    if (!props_.current_user_principal.empty()) {
      current_.current_user_principal = std::move(props_.current_user_principal);
    }
    for (auto& home : props_.address_book_homes) current_.address_book_homes.push_back(std::move(home));
    if (props_.address_data) current_.address_data = std::move(props_.address_data);
  }

  static void OnText(void* context, const xmlChar* text, int size) {
    Libxml2Reader& self = Self(context);
    if (!self.capturing_) return;
    self.Guarded(
        [&] { self.text_.append(reinterpret_cast<const char*>(text), static_cast<std::size_t>(size)); });
  }

  static void OnDoctype(void* context, const xmlChar*, const xmlChar*, const xmlChar*) {
    Libxml2Reader& self = Self(context);
    self.doctype_ = true;
    xmlStopParser(self.parser_);
  }

  static void OnError(void* context, xmlErrorPtr error) {
    Libxml2Reader& self = Self(context);
    if (!self.error_.empty() || error == nullptr || error->level < XML_ERR_ERROR) return;
    std::string message = error->message != nullptr ? Trimmed(error->message) : "";
    self.error_ = "Zeile " + std::to_string(error->line) + ": " + message;
  }

  ResourceSink on_resource_;
  std::string source_;
  xmlParserCtxtPtr parser_ = nullptr;
  std::vector<Kind> open_;
  std::string text_;
  bool capturing_ = false;
  DavResource current_;
  DavResource props_;  // of the propstat being read
  long propstat_status_ = 200;
  bool doctype_ = false;
  std::string error_;
  std::exception_ptr failure_;
};

}  // namespace

std::unique_ptr<MultistatusReader> MakeMultistatusReader(ResourceSink on_resource, std::string source) {
  static const bool ready = (xmlInitParser(), true);
  static_cast<void>(ready);
  return std::make_unique<Libxml2Reader>(std::move(on_resource), std::move(source));
}

}  // namespace fernkartei::contacts::carddav
