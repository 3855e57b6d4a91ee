#include "cli/cli_settings.h"

#include "phone/area_code_database.h"
#include "support/file_helpers.h"
#include "support/process_state.h"
#include "support/program_folder.h"
#include "support/settings.h"

namespace fernkartei::cli {

void UseSettingsFile(const CliOptions& options) {
  support::App_Title = "Fernkartei";
  support::INI_Path =
      options.settings.value_or(support::Add_Backslash(support::ProgramFolder()) + "system.ini");
}

std::string Setting(const std::optional<std::string>& given, const char* key, const std::string& fallback) {
  if (given) return *given;
  return support::Get_InI(support::App_Title, key, fallback);
}

contacts::CardDavOptions CardDavSettings(const CliOptions& options) {
  contacts::CardDavOptions settings;
  settings.ca_file = Setting(options.ca_file, contacts::kCertificateKey, "");
  return settings;
}

std::string OpenAreaCodes(const CliOptions& options) {
  const std::string path = Setting(options.database, "DatabaseName",
                                   support::Add_Backslash(support::ProgramFolder()) + "vorwahlen.mdb");
  phone::DB_Connection = phone::OpenAreaCodeDatabase(phone::Jet4(path));
  phone::Area_Table_Exists = phone::ExistTabel(phone::DB_Connection.get(), phone::kAreaCodeTable);
  return path;
}

}  // namespace fernkartei::cli
