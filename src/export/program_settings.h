#pragma once
// The program's keys in system.ini, each with its default, read in one place for the window and the
// command line. Every key lives in the section App_Title of the file at INI_Path.

#include <optional>
#include <string>

#include "export/export_format.h"

namespace fernkartei::exporting {

inline constexpr const char* kDatabaseNameKey = "DatabaseName";  // area-code database
inline constexpr const char* kTypKey = "Typ";                    // index of the format's option
inline constexpr const char* kOutputKey = "Output";              // number template
inline constexpr const char* kParticipantsKey = "Teilnehmer";
inline constexpr const char* kContactsFolderKey = "Outlook-Ordner";  // empty: the user picks the folder
inline constexpr const char* kPickedFolderKey = "OutlookFolder";     // written after a pick, never read
// A PEM file with the certificate a CardDAV server is trusted by, beside the system's store.
inline constexpr const char* kCardDavCertificateKey = "CardDAV-Zertifikat";

inline constexpr const char* kDefaultTemplate = "I (V) N";
inline constexpr const char* kDefaultParticipants = "11,12,15";

struct ProgramSettings {
  std::string database_name;           // default: vorwahlen.mdb beside the program
  std::optional<ExportFormat> format;  // nothing when "Typ" names no format exactly
  std::string number_template;
  std::string participants;
};

// system.ini in the program folder.
std::string SettingsFileIn(const std::string& program_folder);
// DatabaseName, Typ, Output and Teilnehmer, read in this order.
ProgramSettings ReadProgramSettings(const std::string& program_folder);
// "Outlook-Ordner", empty when it is not set.
std::string ContactsFolderSetting();
// "CardDAV-Zertifikat", empty when it is not set.
std::string CardDavCertificateSetting();

}  // namespace fernkartei::exporting
