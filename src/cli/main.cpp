// fernkartei-export: the export run from scripts and timers, with the settings of the desktop program.

#include <CLI/CLI.hpp>
#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include "cli/cli_options.h"
#include "support/console_output.h"
#include "support/failure.h"
#ifdef _WIN32
#include "support/windows/wide_text.h"
#endif

namespace {

int Run(int argc, char** argv) {
  fernkartei::support::UseUtf8StandardStreams();
  using fernkartei::cli::CliOptions;
  CliOptions options;
  CLI::App app{"Fernkartei: Kontakte als Telefonbuch-Datei für die Telefonanlage exportieren",
               "fernkartei-export"};
  app.add_option("--format", options.format, "nfon, siemens, outlook oder simple")
      ->check(CLI::IsMember({"nfon", "siemens", "outlook", "simple"}));
  app.add_option("--template", options.number_template, "Rufnummern-Vorlage, z. B. \"I (V) N\"");
  app.add_option("--participants", options.participants, "Teilnehmer, z. B. \"11,12,15\"");
  app.add_option("--contacts", options.contacts, "Ordner mit vCard-Dateien oder eine .vcf-Datei");
  app.add_option("--database", options.database, "Vorwahl-Datenbank");
  app.add_option("--output", options.output, "Ausgabedatei, \"-\" für die Standardausgabe");
  app.add_option("--settings", options.settings, "Einstellungsdatei (system.ini)");
  app.add_option("--explain", options.explain, "zeigt, wie eine Rufnummer formatiert wird");
  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp& e) {
    return app.exit(e);
  } catch (const CLI::ParseError& e) {
    app.exit(e);
    return fernkartei::cli::kExitUsage;
  }
  try {
    return options.explain ? fernkartei::cli::RunExplain(options)
                           : fernkartei::cli::RunExportCommand(options);
  } catch (const fernkartei::support::Failure& failure) {
    std::cerr << "Fehler " << failure.number() << ": " << failure.description() << '\n';
    return fernkartei::cli::kExitRunFailed;
  } catch (const std::exception& e) {
    std::cerr << "Fehler: " << e.what() << '\n';
    return fernkartei::cli::kExitRunFailed;
  }
}

}  // namespace

#ifdef _WIN32
// Windows hands the arguments over as UTF-16: a folder "Jörg" arrives whole only this way.
int wmain(int argc, wchar_t** argv) {
  std::vector<std::string> arguments = fernkartei::support::Utf8Arguments(argc, argv);
  std::vector<char*> pointers;
  for (auto& argument : arguments) pointers.push_back(argument.data());
  pointers.push_back(nullptr);
  return Run(argc, pointers.data());
}
#else
int main(int argc, char** argv) {
  return Run(argc, argv);
}
#endif
