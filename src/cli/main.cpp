// fernkartei-export: the export run from scripts and timers, with the settings of the desktop program.

#include <CLI/CLI.hpp>
#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include "cli/cli_options.h"
#include "contacts/contact_sources.h"
#include "export/export_format.h"
#include "support/console_output.h"
#include "support/failure.h"
#include "support/program_folder.h"
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
  std::vector<std::string> format_names;
  for (const auto& traits : fernkartei::exporting::kExportFormats)
    format_names.emplace_back(traits.option_name);
  app.add_option("--format", options.format, "nfon, siemens, outlook oder simple")
      ->check(CLI::IsMember(format_names));
  app.add_option("--template", options.number_template, "Rufnummern-Vorlage, z. B. \"I (V) N\"");
  app.add_option("--participants", options.participants, "Teilnehmer, z. B. \"11,12,15\"");
  app.add_option("--contacts", options.contacts,
                 "Ordner mit vCard-Dateien, eine .vcf-Datei, die https://-Adresse eines CardDAV-Adressbuchs "
                 "oder (Windows) eine Outlook-Ordnernummer wie 10");
  app.add_option("--database", options.database, "Vorwahl-Datenbank");
  app.add_option("--output", options.output, "Ausgabedatei, \"-\" für die Standardausgabe");
  app.add_option("--settings", options.settings, "Einstellungsdatei (system.ini)");
  app.add_option("--explain", options.explain, "zeigt, wie eine Rufnummer formatiert wird");
  app.add_option("--ca-file", options.ca_file,
                 "Zertifikat (PEM), dem beim CardDAV-Server zusätzlich vertraut wird");
  app.add_option("--list-addressbooks", options.list_addressbooks,
                 "zeigt die Adressbücher unter einer CardDAV-Adresse");
  app.add_flag("--strict", options.strict,
               "bricht ab und lässt die alte Datei stehen, wenn eine Datei, Karte oder Rufnummer übergangen "
               "wurde oder der Ordner keinen Kontakt enthält");
  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp& e) {
    return app.exit(e);
  } catch (const CLI::ParseError& e) {
    app.exit(e);
    return fernkartei::cli::kExitUsage;
  }
  // The parts of the program: the contact sources of this platform, their notes counted for --strict and
  // printed on standard error as they come.
  const std::string program_folder = fernkartei::support::ProgramFolder();
  fernkartei::exporting::PassedOverTally passed_over;
  const auto sources = fernkartei::contacts::MakeContactSourceFactory(
      program_folder, passed_over.Counting([](const fernkartei::exporting::SourceNote& note) {
        std::cerr << note.text << '\n';
      }),
      options.ca_file);
  try {
    if (options.explain) return fernkartei::cli::RunExplain(options, program_folder);
    if (options.list_addressbooks) return fernkartei::cli::RunListAddressBooks(options, program_folder);
    return fernkartei::cli::RunExportCommand(options, program_folder, sources, passed_over);
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
