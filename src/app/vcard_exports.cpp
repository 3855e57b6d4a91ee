// The window's exports read vCards, or a CardDAV server when "Outlook-Ordner" holds its address; the
// folder dialog is the window's.

#include <memory>

#include "app/form1.h"
#include "contacts/carddav/carddav_source.h"
#include "contacts/vcard_source.h"
#include "export/export_run.h"
#include "support/process_state.h"
#include "support/program_folder.h"
#include "support/settings.h"

namespace fernkartei::app {
namespace {

using RunFunction = exporting::RunOutcome (*)(exporting::RunSurroundings&, exporting::ContactSource&,
                                              std::string&, std::string&);

ExportProcedure OverVCards(RunFunction run) {
  return [run](Form1& window, std::string& participants, std::string& number_template) {
    std::unique_ptr<exporting::ContactSource> source;
    if (contacts::IsCardDavAddress(support::Get_InI(support::App_Title, "Outlook-Ordner", ""))) {
      contacts::CardDavOptions options;
      options.ca_file = support::Get_InI(support::App_Title, contacts::kCertificateKey, "");
      source = contacts::MakeCardDavSource(options);
    } else {
      source = std::make_unique<contacts::VCardSource>(
          support::ProgramFolder(), [&window] { return window.ui().PickContactsFolder(); });
    }
    // The run tells the user how it went; the window has nothing to add.
    run(window, *source, participants, number_template);
  };
}

}  // namespace

ExportProcedures VCardExportProcedures() {
  return {OverVCards(&exporting::Export_Nfon), OverVCards(&exporting::Export_Siemens),
          OverVCards(&exporting::Export_Outlook), OverVCards(&exporting::Export_Simple)};
}

}  // namespace fernkartei::app
