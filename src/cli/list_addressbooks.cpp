// --list-addressbooks URL: which address books a CardDAV address leads to, so that the one to export can
// be put into --contacts or "Outlook-Ordner".

#include <iostream>

#include "cli/cli_options.h"
#include "cli/cli_settings.h"
#include "contacts/carddav/carddav_source.h"
#include "export/program_settings.h"
#include "support/failure.h"

namespace fernkartei::cli {

int RunListAddressBooks(const CliOptions& options, const std::string& program_folder) {
  UseSettingsFile(options, program_folder);
  contacts::CardDavOptions settings;
  settings.ca_file = options.ca_file.value_or(exporting::CardDavCertificateSetting());
  try {
    for (const auto& book : contacts::ListAddressBooks(*options.list_addressbooks, settings)) {
      std::cout << book.name << '\t' << book.url << '\n';
    }
  } catch (const support::Failure& failure) {
    std::cerr << "CardDAV: " << failure.description() << '\n';
    return kExitRunFailed;
  }
  return kExitWritten;
}

}  // namespace fernkartei::cli
