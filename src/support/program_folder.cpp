#include "support/program_folder.h"

namespace fernkartei::support {

std::string ExecutableFolder();  // platform file

std::string ProgramFolder() {
  static const std::string folder = ExecutableFolder();
  return folder;
}

}  // namespace fernkartei::support
