// The window's exports read vCards; the folder dialog is the window's.

#include "app/form1.h"
#include "contacts/vcard_source.h"
#include "export/export_run.h"
#include "support/program_folder.h"

namespace fernkartei::app {
namespace {

using RunFunction = exporting::RunOutcome (*)(exporting::RunSurroundings&, exporting::ContactSource&,
                                              std::string&, std::string&);

ExportProcedure OverVCards(RunFunction run) {
  return [run](Form1& window, std::string& participants, std::string& number_template) {
    contacts::VCardSource source(support::ProgramFolder(),
                                 [&window] { return window.ui().PickContactsFolder(); });
    // The run tells the user how it went; the window has nothing to add.
    run(window, source, participants, number_template);
  };
}

}  // namespace

ExportProcedures VCardExportProcedures() {
  return {OverVCards(&exporting::Export_Nfon), OverVCards(&exporting::Export_Siemens),
          OverVCards(&exporting::Export_Outlook), OverVCards(&exporting::Export_Simple)};
}

}  // namespace fernkartei::app
