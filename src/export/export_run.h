#pragma once
// One export run: from the contacts folder to the finished phonebook file, in one of four formats.

#include <optional>
#include <string>

#include "export/contact_source.h"
#include "export/run_surroundings.h"

namespace fernkartei::exporting {

// The index of the window's option button, the value of the settings key "Typ".
enum class ExportFormat : int { Nfon = 0, Siemens = 1, Outlook = 2, Simple = 3 };

// Written: the file is complete and in place. Failed: the run ended with one of its messages and the
// previous file, if any, is untouched.
enum class RunOutcome { Written, Failed };

struct RunOptions {
  // Where the file goes; by default USERPROFILE + "documents" + the format's file name.
  std::optional<std::string> output_path;
};

RunOutcome RunExport(ExportFormat format, RunSurroundings& surroundings, ContactSource& contacts,
                     std::string& participants, std::string& number_template, const RunOptions& options = {});

RunOutcome Export_Nfon(RunSurroundings& surroundings, ContactSource& contacts, std::string& participants,
                       std::string& number_template);
RunOutcome Export_Siemens(RunSurroundings& surroundings, ContactSource& contacts, std::string& participants,
                          std::string& number_template);
RunOutcome Export_Outlook(RunSurroundings& surroundings, ContactSource& contacts, std::string& participants,
                          std::string& number_template);
RunOutcome Export_Simple(RunSurroundings& surroundings, ContactSource& contacts, std::string& participants,
                         std::string& number_template);

}  // namespace fernkartei::exporting
