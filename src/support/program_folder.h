#pragma once
// The folder that holds the running program: settings, error log, area codes and Kontakte/ live there.

#include <string>

namespace fernkartei::support {

// Without a trailing separator. Tests point it elsewhere with SetProgramFolder.
std::string ProgramFolder();
void SetProgramFolder(std::string folder);

}  // namespace fernkartei::support
