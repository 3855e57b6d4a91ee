// --explain NUMBER: shows, for one number, the steps the export takes with it, against the same
// area-code database and in the same mode the desktop program would use.

#include <iostream>
#include <string>

#include "cli/cli_options.h"
#include "cli/cli_settings.h"
#include "phone/area_code_database.h"
#include "phone/phone_number.h"
#include "support/failure.h"

namespace fernkartei::cli {
namespace {

std::string Shown(const std::string& text) {
  return text.empty() ? "(leer)" : text;
}

}  // namespace

int RunExplain(const CliOptions& options, const std::string& program_folder) {
  namespace support = fernkartei::support;
  namespace phone = fernkartei::phone;
  const exporting::ProgramSettings settings = UseSettingsFile(options, program_folder);
  // As in an export run: the template the window would use, and the default for an empty one.
  std::string number_template = settings.number_template;
  if (number_template.empty()) number_template = exporting::kDefaultTemplate;
  const std::string& number = *options.explain;

  const std::string& database = settings.database_name;
  try {
    phone::ConnectAreaCodeDatabase(database);
  } catch (const support::Failure& failure) {
    std::cerr << "Die Vorwahl-Datenbank kann nicht geöffnet werden.\n"
              << "Fehler " << failure.number() << ": " << failure.description() << '\n';
    return kExitRunFailed;
  }

  const auto parts = phone::SplitPhoneNumber(number, phone::Area_Table_Exists, &phone::Find_Area_Code);
  std::cout << "Rufnummer:              " << number << '\n'
            << "Vorwahl-Datenbank:      " << database << '\n'
            << "Modus:                  " << (phone::Area_Table_Exists ? "Datenbank" : "feste Längen") << '\n'
            << "Vorlage:                " << number_template << '\n';
  if (!parts) {
    std::cout
        << "Bereinigt:              " << Shown(phone::Clean_Phone_Number(number)) << '\n'
        << "Ergebnis:               (leer: keine verwendbare Rufnummer, es wird keine Zeile geschrieben)\n";
    return kExitWritten;
  }
  std::cout << "Bereinigt:              " << parts->cleaned << '\n'
            << "Internationale Vorwahl: " << Shown(parts->international_prefix) << '\n';
  if (parts->database_mode) std::cout << "Suchschlüssel:          " << Shown(parts->lookup_key) << '\n';
  std::cout << "Ortsnetzkennzahl:       " << Shown(parts->area_code)
            << (parts->area_code_by_fixed_length && parts->database_mode
                    ? " (nicht in der Datenbank, feste Länge)"
                    : "")
            << '\n'
            << "Teilnehmernummer:       " << Shown(parts->subscriber_number) << '\n'
            << "Ergebnis:               " << phone::ExpandNumberTemplate(number_template, *parts) << '\n';
  return kExitWritten;
}

}  // namespace fernkartei::cli
