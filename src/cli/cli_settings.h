#pragma once
// What both commands of fernkartei-export take from the desktop program's settings file, so that a
// left-out option means what the window would use.

#include "cli/cli_options.h"
#include "export/program_settings.h"

namespace fernkartei::cli {

// Sets App_Title and INI_Path (--settings, else system.ini beside the program) and reads the settings
// as start-up does; every option given takes the place of its key.
exporting::ProgramSettings UseSettingsFile(const CliOptions& options, const std::string& program_folder);

}  // namespace fernkartei::cli
