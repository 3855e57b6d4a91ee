#include "contacts/outlook_source.h"

#include "support/failure.h"

namespace fernkartei::contacts {

bool IsOutlookFolderSetting(const std::string&) {
  return false;
}

std::unique_ptr<exporting::ContactSource> MakeOutlookSource(const std::string&, const DiagnosticSink&) {
  throw support::Failure(support::ErrorNumber::CannotCreateObject);
}

}  // namespace fernkartei::contacts
