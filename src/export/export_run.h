#pragma once
// One export run: from the contacts folder to the finished phonebook file, in one of four formats.

#include <cstdio>
#include <optional>
#include <string>

#include "export/contact_source.h"
#include "export/export_format.h"
#include "export/run_surroundings.h"
#include "export/source_notes.h"
#include "support/file_system.h"

namespace fernkartei::exporting {

// Written: the file is complete and in place. Failed: the run ended with one of its messages and the
// previous file, if any, is untouched.
enum class RunOutcome { Written, Failed };

struct RunOptions {
  // Where the file goes; by default USERPROFILE + "documents" + the format's file name.
  std::optional<std::string> output_path;
  // Takes the place of the settings key "Outlook-Ordner" (both of its reads), e.g. a folder given on
  // the command line.
  std::optional<std::string> contacts_folder;
  // Writes the export into this stream instead of a file (the command line's standard output); the
  // final message then names output_path, or "Standardausgabe" without one.
  std::FILE* output_stream = nullptr;
  // False keeps the run from recording a picked folder under "OutlookFolder" (the command line never
  // writes the settings file).
  bool record_picked_folder = true;
  // Where the file is written; the platform's own file system when not set.
  support::FileSystem* file_system = nullptr;
  // Counts what the contact source passed over; main hands the same tally to the source's note sink
  // (PassedOverTally::Counting). Cleared when the run opens the contacts.
  PassedOverTally* passed_over = nullptr;
  // Ends the run without replacing the old file when anything was passed over or not one item is a
  // contact (fernkartei-export --strict), so that a timer notices.
  bool strict = false;
};

// Advances the progress bar by one step, starting again at 1 after its maximum: it shows activity, not
// the share of the work done.
void Step_Progress(RunSurroundings& surroundings);

// The output path when the caller names none: Add_Backslash(USERPROFILE) + "documents" + separator +
// the format's file name; without USERPROFILE (or with an empty one) the user's documents folder.
std::string DefaultOutputPath(ExportFormat format);

// The whole run. The contact source comes from `sources`, asked with the folder setting. An empty
// template becomes "I (V) N", in the caller's string too.
RunOutcome RunExport(ExportFormat format, RunSurroundings& surroundings, const ContactSourceFactory& sources,
                     const std::string& participants, std::string& number_template,
                     const RunOptions& options = {});

RunOutcome Export_Nfon(RunSurroundings& surroundings, const ContactSourceFactory& sources,
                       std::string& participants, std::string& number_template);
RunOutcome Export_Siemens(RunSurroundings& surroundings, const ContactSourceFactory& sources,
                          std::string& participants, std::string& number_template);
RunOutcome Export_Outlook(RunSurroundings& surroundings, const ContactSourceFactory& sources,
                          std::string& participants, std::string& number_template);
RunOutcome Export_Simple(RunSurroundings& surroundings, const ContactSourceFactory& sources,
                         std::string& participants, std::string& number_template);

}  // namespace fernkartei::exporting
