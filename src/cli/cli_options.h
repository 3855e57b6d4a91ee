#pragma once
// The options of fernkartei-export. Every option left out takes the value the desktop program would use.

#include <optional>
#include <string>

#include "export/contact_source.h"
#include "export/source_notes.h"

namespace fernkartei::cli {

struct CliOptions {
  std::optional<std::string> format;  // nfon | siemens | outlook | simple
  std::optional<std::string> number_template;
  std::optional<std::string> participants;
  std::optional<std::string> contacts;
  std::optional<std::string> database;
  std::optional<std::string> output;  // "-" for standard output
  std::optional<std::string> settings;
  std::optional<std::string> explain;            // the number to explain
  std::optional<std::string> ca_file;            // for a CardDAV server with a certificate of its own
  std::optional<std::string> list_addressbooks;  // the CardDAV address whose address books to list
  bool strict = false;  // anything passed over, or no contact at all, fails the run
};

// Exit statuses: scripts rely on them.
inline constexpr int kExitWritten = 0;
inline constexpr int kExitRunFailed = 1;
inline constexpr int kExitUsage = 2;

// --explain NUMBER: how one number is cleaned, split and formatted.
int RunExplain(const CliOptions& options, const std::string& program_folder);
// --list-addressbooks URL: the address books of a CardDAV server, one per line: name, tab, address.
int RunListAddressBooks(const CliOptions& options, const std::string& program_folder);
// The export itself, over the contact sources main chose, whose note sink counts into passed_over.
int RunExportCommand(const CliOptions& options, const std::string& program_folder,
                     const exporting::ContactSourceFactory& sources, exporting::PassedOverTally& passed_over);

}  // namespace fernkartei::cli
