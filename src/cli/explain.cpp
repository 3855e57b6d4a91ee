#include <iostream>

#include "cli/cli_options.h"

namespace fernkartei::cli {

int RunExplain(const CliOptions&) {
  std::cerr << "--explain ist noch nicht verfügbar\n";
  return kExitRunFailed;
}

}  // namespace fernkartei::cli
