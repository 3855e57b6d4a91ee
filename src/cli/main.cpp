// fernkartei-export: the export run from scripts and timers, with the settings of the desktop program.

#include <CLI/CLI.hpp>
#include <exception>
#include <iostream>

#include "cli/cli_options.h"
#include "support/failure.h"

int main(int argc, char** argv) {
  using fernkartei::cli::CliOptions;
  CliOptions options;
  CLI::App app{"Fernkartei: Kontakte als Telefonbuch-Datei für die Telefonanlage exportieren",
               "fernkartei-export"};
  app.add_option("--format", options.format, "nfon, siemens, outlook oder simple")
      ->check(CLI::IsMember({"nfon", "siemens", "outlook", "simple"}));
  app.add_option("--template", options.number_template, "Rufnummern-Vorlage, z. B. \"I (V) N\"");
  app.add_option("--participants", options.participants, "Teilnehmer, z. B. \"11,12,15\"");
  app.add_option(
      "--contacts", options.contacts,
      "Ordner mit vCard-Dateien, eine .vcf-Datei oder die https://-Adresse eines CardDAV-Adressbuchs");
  app.add_option("--database", options.database, "Vorwahl-Datenbank");
  app.add_option("--output", options.output, "Ausgabedatei, \"-\" für die Standardausgabe");
  app.add_option("--settings", options.settings, "Einstellungsdatei (system.ini)");
  app.add_option("--explain", options.explain, "zeigt, wie eine Rufnummer formatiert wird");
  app.add_option("--ca-file", options.ca_file,
                 "Zertifikat (PEM), dem beim CardDAV-Server zusätzlich vertraut wird");
  app.add_option("--list-addressbooks", options.list_addressbooks,
                 "zeigt die Adressbücher unter einer CardDAV-Adresse");
  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp& e) {
    return app.exit(e);
  } catch (const CLI::ParseError& e) {
    app.exit(e);
    return fernkartei::cli::kExitUsage;
  }
  try {
    if (options.explain) return fernkartei::cli::RunExplain(options);
    if (options.list_addressbooks) return fernkartei::cli::RunListAddressBooks(options);
    return fernkartei::cli::RunExportCommand(options);
  } catch (const fernkartei::support::Failure& failure) {
    std::cerr << "Fehler " << failure.number() << ": " << failure.description() << '\n';
    return fernkartei::cli::kExitRunFailed;
  } catch (const std::exception& e) {
    std::cerr << "Fehler: " << e.what() << '\n';
    return fernkartei::cli::kExitRunFailed;
  }
}
