// fernkartei-export: the export run from scripts and timers, with the settings of the desktop program.

#include <cstdio>
#include <iostream>
#include <string>

#ifdef _WIN32
#include <io.h>
#define FERNKARTEI_ISATTY _isatty
#define FERNKARTEI_FILENO _fileno
#else
#include <unistd.h>
#define FERNKARTEI_ISATTY isatty
#define FERNKARTEI_FILENO fileno
#endif

#include "cli/command_line.h"
#include "contacts/contact_sources.h"
#include "support/program_folder.h"

int main(int argc, char** argv) {
  // The parts of the program: the contact sources of this platform, their notes on standard error.
  const std::string program_folder = fernkartei::support::ProgramFolder();
  const auto sources = [&program_folder](const std::optional<std::string>& certificate_file) {
    return fernkartei::contacts::MakeContactSourceFactory(
        program_folder, [](const std::string& note) { std::cerr << note << '\n'; }, certificate_file);
  };
  const fernkartei::cli::Console console{std::cout, std::cerr,
                                         FERNKARTEI_ISATTY(FERNKARTEI_FILENO(stderr)) != 0};
  return fernkartei::cli::RunCommandLine({argv + 1, argv + argc}, program_folder, sources, console);
}
