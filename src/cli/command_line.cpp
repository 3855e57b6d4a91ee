#include "cli/command_line.h"

#include <CLI/CLI.hpp>
#include <exception>

#include "cli/cli_options.h"
#include "export/export_format.h"
#include "support/failure.h"

namespace fernkartei::cli {

int RunCommandLine(const std::vector<std::string>& arguments, const std::string& program_folder,
                   const SourcesFor& sources, const Console& console) {
  CliOptions options;
  CLI::App app{"Fernkartei: Kontakte als Telefonbuch-Datei für die Telefonanlage exportieren",
               "fernkartei-export"};
  std::vector<std::string> format_names;
  for (const auto& traits : exporting::kExportFormats) format_names.emplace_back(traits.option_name);
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
    // CLI11 takes the arguments last one first.
    std::vector<std::string> reversed(arguments.rbegin(), arguments.rend());
    app.parse(reversed);
  } catch (const CLI::CallForHelp& e) {
    return app.exit(e, console.out, console.err);
  } catch (const CLI::ParseError& e) {
    app.exit(e, console.out, console.err);
    return kExitUsage;
  }
  try {
    if (options.explain) return RunExplain(options, program_folder, console);
    if (options.list_addressbooks) return RunListAddressBooks(options, program_folder, console);
    // What the sources pass over is counted for --strict and printed as it comes.
    exporting::PassedOverTally passed_over;
    const auto notes = passed_over.Counting(
        [&console](const exporting::SourceNote& note) { console.err << note.text << '\n'; });
    return RunExportCommand(options, program_folder, sources(options.ca_file, notes), passed_over, console);
  } catch (const support::Failure& failure) {
    console.err << "Fehler " << failure.number() << ": " << failure.description() << '\n';
    return kExitRunFailed;
  } catch (const std::exception& e) {
    console.err << "Fehler: " << e.what() << '\n';
    return kExitRunFailed;
  }
}

}  // namespace fernkartei::cli
