#include "contacts/outlook_source.h"

#include <filesystem>

#include "support/failure.h"
#include "support/file_helpers.h"
#include "support/text.h"

namespace fernkartei::contacts {
namespace {

bool EndsWithIgnoringCase(std::string_view text, std::string_view ending) {
  return text.size() >= ending.size() &&
         support::EqualsIgnoringAsciiCase(text.substr(text.size() - ending.size()), ending);
}

}  // namespace

bool IsOutlookFolderSetting(const std::string& setting) {
  if (setting.empty()) return true;
  if (setting.find_first_not_of("0123456789") == std::string::npos) return true;  // a folder number
  if (setting.find_first_of("\\/:") != std::string::npos) return false;
  if (EndsWithIgnoringCase(setting, ".vcf") || EndsWithIgnoringCase(setting, ".vcard")) return false;
  std::error_code error;
  return !std::filesystem::exists(support::PathFromUtf8(setting), error);
}

// Outlook's automation objects are not driven by this build yet: the run ends on its Outlook failure.
std::unique_ptr<exporting::ContactSource> MakeOutlookSource(const std::string& setting,
                                                            const DiagnosticSink& on_diagnostic) {
  if (on_diagnostic) {
    on_diagnostic("Kontakte aus Outlook kann diese Version nicht lesen" +
                  (setting.empty() ? std::string() : " (Outlook-Ordner \"" + setting + "\")") +
                  ": bitte einen Ordner mit vCard-Dateien oder eine .vcf-Datei angeben.");
  }
  throw support::Failure(support::ErrorNumber::CannotCreateObject);
}

}  // namespace fernkartei::contacts
