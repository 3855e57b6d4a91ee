#pragma once
// The folder that holds the running program: settings, error log, area codes and Kontakte/ live there.

#include <string>

namespace fernkartei::support {

// Without a trailing separator.
std::string ProgramFolder();

}  // namespace fernkartei::support
