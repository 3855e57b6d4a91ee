// --list-addressbooks URL: which address books a CardDAV address leads to, so that the one to export can
// be put into --contacts or "Outlook-Ordner".

#include <iostream>

#include "cli/cli_options.h"
#include "cli/cli_settings.h"
#include "contacts/carddav/carddav_source.h"
#include "support/failure.h"

namespace fernkartei::cli {

int RunListAddressBooks(const CliOptions& options) {
  UseSettingsFile(options);
  try {
    for (const auto& book :
         contacts::ListAddressBooks(*options.list_addressbooks, CardDavSettings(options))) {
      std::cout << book.name << '\t' << book.url << '\n';
    }
  } catch (const support::Failure& failure) {
    std::cerr << "CardDAV: " << failure.description() << '\n';
    return kExitRunFailed;
  }
  return kExitWritten;
}

}  // namespace fernkartei::cli
