#include "cli/cli_settings.h"

#include "support/process_state.h"

namespace fernkartei::cli {

exporting::ProgramSettings UseSettingsFile(const CliOptions& options, const std::string& program_folder) {
  support::App_Title = support::kAppTitle;
  support::INI_Path = options.settings.value_or(exporting::SettingsFileIn(program_folder));
  exporting::ProgramSettings settings = exporting::ReadProgramSettings(program_folder);
  if (options.database) settings.database_name = *options.database;
  if (options.format) settings.format = exporting::FormatFromOptionName(*options.format);
  if (options.number_template) settings.number_template = *options.number_template;
  if (options.participants) settings.participants = *options.participants;
  return settings;
}

}  // namespace fernkartei::cli
