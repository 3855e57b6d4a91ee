#include "contacts/carddav/carddav_source.h"

#include "contacts/carddav/card_download.h"
#include "contacts/carddav/discovery.h"
#include "contacts/carddav/http_transport.h"
#include "contacts/carddav/url.h"
#include "contacts/record_items.h"
#include "support/failure.h"
#include "support/text.h"

namespace fernkartei::contacts {
namespace {

using support::ErrorNumber;
using support::Failure;

// Runs `step`; a failure is told to the sink, in the words the command line shows, before it passes on.
template <typename Step>
auto Told(const DiagnosticSink& sink, Step step) {
  try {
    return step();
  } catch (const Failure& failure) {
    if (sink) sink("CardDAV: " + failure.description());
    throw;
  }
}

AddressBook TheOnlyAddressBook(const std::string& url, const std::vector<AddressBook>& books) {
  if (books.empty()) {
    throw Failure(ErrorNumber::PathNotFound,
                  "Unter " + carddav::WithoutUserName(url) + " liegt kein Adressbuch");
  }
  if (books.size() > 1) {
    std::string names;
    for (const auto& book : books) names += (names.empty() ? "" : ", ") + book.name + " <" + book.url + ">";
    throw Failure(ErrorNumber::InvalidProcedureCall,
                  "Unter " + carddav::WithoutUserName(url) +
                      " liegen mehrere Adressbücher, bitte eines davon angeben: " + names);
  }
  return books.front();
}

class CardDavFolder : public exporting::ContactFolder {
 public:
  CardDavFolder(AddressBook book, std::unique_ptr<carddav::HttpTransport> http, DiagnosticSink sink)
      : book_(std::move(book)), http_(std::move(http)), sink_(std::move(sink)) {}

  std::string DefaultProperty() override { return book_.url; }
  int DefaultItemType() override { return exporting::kContactItemType; }

  std::unique_ptr<exporting::ContactItems> Items() override {
    return Told(sink_, [&] {
      return MakeRecordItems(
          std::make_shared<const Records>(carddav::DownloadCards(*http_, book_.url, sink_)));
    });
  }

 private:
  AddressBook book_;
  std::unique_ptr<carddav::HttpTransport> http_;
  DiagnosticSink sink_;
};

// What every object of the source passes on to the next.
struct SourceSettings {
  CardDavOptions options;
  DiagnosticSink sink;
};

class CardDavNamespace : public exporting::ContactNamespace {
 public:
  explicit CardDavNamespace(SourceSettings settings) : settings_(std::move(settings)) {}

  std::unique_ptr<exporting::ContactFolder> GetDefaultFolder(const std::string& folder) override {
    return Told(settings_.sink, [&]() -> std::unique_ptr<exporting::ContactFolder> {
      const std::string url = support::Trim(folder);
      carddav::CheckAddress(url);
      auto http = carddav::MakeHttpTransport(settings_.options, url);
      AddressBook book = TheOnlyAddressBook(url, carddav::FindAddressBooks(*http, url));
      return std::make_unique<CardDavFolder>(std::move(book), std::move(http), settings_.sink);
    });
  }

  // An address names the address book; there is nothing to pick from.
  std::unique_ptr<exporting::ContactFolder> PickFolder() override { return nullptr; }

 private:
  SourceSettings settings_;
};

class CardDavApplication : public exporting::ContactApplication {
 public:
  explicit CardDavApplication(SourceSettings settings) : settings_(std::move(settings)) {}

  std::unique_ptr<exporting::ContactNamespace> GetNamespace(const std::string& type) override {
    if (!support::EqualsIgnoringAsciiCase(type, "MAPI")) throw Failure(ErrorNumber::InvalidProcedureCall);
    return std::make_unique<CardDavNamespace>(settings_);
  }

 private:
  SourceSettings settings_;
};

class CardDavSource : public exporting::ContactSource {
 public:
  explicit CardDavSource(SourceSettings settings) : settings_(std::move(settings)) {}

  std::unique_ptr<exporting::ContactApplication> CreateApplication() override {
    return std::make_unique<CardDavApplication>(settings_);
  }

 private:
  SourceSettings settings_;
};

}  // namespace

std::vector<AddressBook> ListAddressBooks(const std::string& url, const CardDavOptions& options) {
  carddav::CheckAddress(url);
  const auto http = carddav::MakeHttpTransport(options, url);
  return carddav::FindAddressBooks(*http, url);
}

std::unique_ptr<exporting::ContactSource> MakeCardDavSource(CardDavOptions options,
                                                            DiagnosticSink on_diagnostic) {
  return std::make_unique<CardDavSource>(SourceSettings{std::move(options), std::move(on_diagnostic)});
}

}  // namespace fernkartei::contacts
