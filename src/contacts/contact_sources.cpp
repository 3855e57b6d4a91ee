#include "contacts/contact_sources.h"

#include <memory>
#include <utility>

#include "contacts/carddav/carddav_source.h"
#include "contacts/outlook_source.h"
#include "export/program_settings.h"

namespace fernkartei::contacts {

exporting::ContactSourceFactory MakeContactSourceFactory(std::string program_folder,
                                                         DiagnosticSink on_diagnostic,
                                                         std::optional<std::string> certificate_file) {
  // An http(s) address names a CardDAV server; on Windows a setting that is no path belongs to Outlook;
  // every other folder setting names vCards: a folder, one file, or "10" for the folder Kontakte.
  return [program_folder = std::move(program_folder), on_diagnostic = std::move(on_diagnostic),
          certificate_file = std::move(certificate_file)](
             const std::string& folder_setting,
             const exporting::FolderPicker& pick_folder) -> std::unique_ptr<exporting::ContactSource> {
    if (IsCardDavAddress(folder_setting)) {
      CardDavOptions options;
      options.ca_file = certificate_file.value_or(exporting::CardDavCertificateSetting());
      return MakeCardDavSource(std::move(options), on_diagnostic);
    }
    if (IsOutlookFolderSetting(folder_setting)) return MakeOutlookSource(folder_setting, on_diagnostic);
    return std::make_unique<VCardSource>(program_folder, pick_folder, on_diagnostic);
  };
}

}  // namespace fernkartei::contacts
