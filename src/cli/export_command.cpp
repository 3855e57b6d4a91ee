#include <iostream>

#include "cli/cli_options.h"

namespace fernkartei::cli {

int RunExportCommand(const CliOptions&) {
  std::cerr << "Der Export ist noch nicht verfügbar\n";
  return kExitRunFailed;
}

}  // namespace fernkartei::cli
