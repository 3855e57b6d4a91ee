// On Windows the folder setting decides: a path to a folder or a .vcf file is read as vCards; "10" (or
// any other number, or text that names no file) and an empty setting belong to Outlook.

#include "contacts/contact_sources.h"

#include <filesystem>
#include <memory>
#include <utility>

#include "support/failure.h"
#include "support/file_helpers.h"
#include "support/text.h"

namespace fernkartei::contacts {
namespace {

bool EndsWithIgnoringCase(std::string_view text, std::string_view ending) {
  return text.size() >= ending.size() &&
         support::EqualsIgnoringAsciiCase(text.substr(text.size() - ending.size()), ending);
}

bool NamesVCards(const std::string& setting) {
  if (setting.empty()) return false;  // the folder dialog is Outlook's
  if (setting.find_first_not_of("0123456789") == std::string::npos) return false;  // Outlook's folder number
  if (setting.find_first_of("\\/:") != std::string::npos) return true;
  if (EndsWithIgnoringCase(setting, ".vcf") || EndsWithIgnoringCase(setting, ".vcard")) return true;
  std::error_code error;
  return std::filesystem::exists(support::PathFromUtf8(setting), error);
}

}  // namespace

exporting::ContactSourceFactory MakeContactSourceFactory(std::string program_folder,
                                                         DiagnosticSink on_diagnostic) {
  return [program_folder = std::move(program_folder), on_diagnostic = std::move(on_diagnostic)](
             const std::string& folder_setting,
             const exporting::FolderPicker& pick_folder) -> std::unique_ptr<exporting::ContactSource> {
    if (NamesVCards(folder_setting))
      return std::make_unique<VCardSource>(program_folder, pick_folder, on_diagnostic);
    // Outlook is reached through its automation objects, which this build does not drive yet.
    if (on_diagnostic) {
      on_diagnostic(
          "Kontakte aus Outlook kann diese Version nicht lesen" +
          (folder_setting.empty() ? std::string() : " (Outlook-Ordner \"" + folder_setting + "\")") +
          ": bitte einen Ordner mit vCard-Dateien oder eine .vcf-Datei angeben.");
    }
    throw support::Failure(support::ErrorNumber::CannotCreateObject);
  };
}

}  // namespace fernkartei::contacts
