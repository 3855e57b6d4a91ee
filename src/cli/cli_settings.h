#pragma once
// What both commands of fernkartei-export take from the desktop program's settings file, so that a
// left-out option means what the window would use.

#include <optional>
#include <string>

#include "cli/cli_options.h"
#include "contacts/carddav/carddav_source.h"

namespace fernkartei::cli {

// Sets App_Title and INI_Path (--settings, else system.ini beside the program).
void UseSettingsFile(const CliOptions& options);
// The option when given, else the key from the settings file, else the fallback.
std::string Setting(const std::optional<std::string>& given, const char* key, const std::string& fallback);
// The bounds and the certificate for a CardDAV server: --ca-file, else the key "CardDAV-Zertifikat".
contacts::CardDavOptions CardDavSettings(const CliOptions& options);
// Opens --database or DatabaseName as start-up does and sets Area_Table_Exists. Returns the path used;
// throws support::Failure when the file cannot be opened.
std::string OpenAreaCodes(const CliOptions& options);

}  // namespace fernkartei::cli
