#include "support/program_folder.h"

#include <optional>
#include <utility>

namespace fernkartei::support {

std::string ExecutableFolder();  // platform file

namespace {
std::optional<std::string>& Override() {
  static std::optional<std::string> folder;
  return folder;
}
}  // namespace

std::string ProgramFolder() {
  if (Override()) return *Override();
  static const std::string folder = ExecutableFolder();
  return folder;
}

void SetProgramFolder(std::string folder) {
  Override() = std::move(folder);
}

}  // namespace fernkartei::support
