// fernkartei-export: the export run from scripts and timers, with the settings of the desktop program.

#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#ifdef _WIN32
#include <io.h>
#define FERNKARTEI_ISATTY _isatty
#define FERNKARTEI_FILENO _fileno
#include "support/windows/wide_text.h"
#else
#include <unistd.h>
#define FERNKARTEI_ISATTY isatty
#define FERNKARTEI_FILENO fileno
#endif

#include "cli/command_line.h"
#include "contacts/contact_sources.h"
#include "support/console_output.h"
#include "support/program_folder.h"

namespace {

int Run(const std::vector<std::string>& arguments) {
  fernkartei::support::UseUtf8StandardStreams();
  // The parts of the program: the contact sources of this platform.
  const std::string program_folder = fernkartei::support::ProgramFolder();
  const auto sources = [&program_folder](const std::optional<std::string>& certificate_file,
                                         fernkartei::exporting::NoteSink notes) {
    return fernkartei::contacts::MakeContactSourceFactory(program_folder, std::move(notes), certificate_file);
  };
  const fernkartei::cli::Console console{std::cout, std::cerr,
                                         FERNKARTEI_ISATTY(FERNKARTEI_FILENO(stderr)) != 0};
  return fernkartei::cli::RunCommandLine(arguments, program_folder, sources, console);
}

}  // namespace

#ifdef _WIN32
// Windows hands the arguments over as UTF-16: a folder "Jörg" arrives whole only this way.
int wmain(int argc, wchar_t** argv) {
  std::vector<std::string> arguments = fernkartei::support::Utf8Arguments(argc, argv);
  arguments.erase(arguments.begin());
  return Run(arguments);
}
#else
int main(int argc, char** argv) {
  return Run({argv + 1, argv + argc});
}
#endif
