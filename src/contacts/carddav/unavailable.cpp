// The Windows build has no CardDAV yet (the plan: WinHTTP behind the HTTP seam of the Linux build). An
// address in the folder setting ends the run with this reason instead of being taken for a folder.

#include "contacts/carddav/carddav_source.h"
#include "support/failure.h"

namespace fernkartei::contacts {
namespace {

constexpr const char* kUnavailable =
    "CardDAV ist in der Windows-Fassung noch nicht verfügbar; bitte die Kontakte als vCard-Dateien "
    "speichern und deren Ordner angeben";

class UnavailableSource : public exporting::ContactSource {
 public:
  explicit UnavailableSource(DiagnosticSink sink) : sink_(std::move(sink)) {}

  std::unique_ptr<exporting::ContactApplication> CreateApplication() override {
    if (sink_) sink_(std::string("CardDAV: ") + kUnavailable);
    throw support::Failure(support::ErrorNumber::CannotCreateObject, kUnavailable);
  }

 private:
  DiagnosticSink sink_;
};

}  // namespace

std::vector<AddressBook> ListAddressBooks(const std::string&, const CardDavOptions&) {
  throw support::Failure(support::ErrorNumber::CannotCreateObject, kUnavailable);
}

std::unique_ptr<exporting::ContactSource> MakeCardDavSource(CardDavOptions, DiagnosticSink on_diagnostic) {
  return std::make_unique<UnavailableSource>(std::move(on_diagnostic));
}

}  // namespace fernkartei::contacts
