#include "export/program_settings.h"

#include "support/file_helpers.h"
#include "support/process_state.h"
#include "support/settings.h"

namespace fernkartei::exporting {

using support::App_Title;
using support::Get_InI;

std::string SettingsFileIn(const std::string& program_folder) {
  return support::Add_Backslash(program_folder) + "system.ini";
}

ProgramSettings ReadProgramSettings(const std::string& program_folder) {
  ProgramSettings settings;
  settings.database_name =
      Get_InI(App_Title, kDatabaseNameKey, support::Add_Backslash(program_folder) + "vorwahlen.mdb");
  settings.format = FormatFromTyp(Get_InI(App_Title, kTypKey, TypOf(ExportFormat::Nfon)));
  settings.number_template = Get_InI(App_Title, kOutputKey, kDefaultTemplate);
  settings.participants = Get_InI(App_Title, kParticipantsKey, kDefaultParticipants);
  return settings;
}

std::string ContactsFolderSetting() {
  return Get_InI(App_Title, kContactsFolderKey, "");
}

std::string CardDavCertificateSetting() {
  return Get_InI(App_Title, kCardDavCertificateKey, "");
}

}  // namespace fernkartei::exporting
