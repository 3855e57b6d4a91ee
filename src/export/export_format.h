#pragma once
// The four export formats, each defined once: the window's option button (whose index is the value of
// the settings key "Typ"), the name on the command line, the file, its header line, whether the
// participants must be given, the line builder, and the export procedure the window's "Start" calls.

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "export/contact_source.h"
#include "export/line_builders.h"

namespace fernkartei::exporting {

enum class ExportFormat : int { Nfon = 0, Siemens = 1, Outlook = 2, Simple = 3 };

class RunSurroundings;
enum class RunOutcome;
struct RunOptions;
// One format's whole run (export_run.h): the participants and the template as the window hands them.
using ExportProcedure = RunOutcome (*)(RunSurroundings& surroundings, const ContactSourceFactory& sources,
                                       std::string& participants, std::string& number_template,
                                       const RunOptions& options);
RunOutcome Export_Nfon(RunSurroundings&, const ContactSourceFactory&, std::string&, std::string&,
                       const RunOptions&);
RunOutcome Export_Siemens(RunSurroundings&, const ContactSourceFactory&, std::string&, std::string&,
                          const RunOptions&);
RunOutcome Export_Outlook(RunSurroundings&, const ContactSourceFactory&, std::string&, std::string&,
                          const RunOptions&);
RunOutcome Export_Simple(RunSurroundings&, const ContactSourceFactory&, std::string&, std::string&,
                         const RunOptions&);

struct FormatTraits {
  ExportFormat format;
  const char* caption;      // of the option button; not the file's name
  const char* option_name;  // --format
  const char* file_name;
  const char* header;
  bool participants_required;
  LineBuilder build_line;
  ExportProcedure run;
};

inline constexpr std::array<FormatTraits, 4> kExportFormats = {{
    {ExportFormat::Nfon, "NFon", "nfon", "nfon.csv",
     "displayName;destination;visibleFor;vpnTargetNumber;vpnProvider", true, &Build_Nfon_Line, &Export_Nfon},
    {ExportFormat::Siemens, "Siemens", "siemens", "siemens.csv", "displayName;destination;visibleFor", true,
     &Build_Siemens_Line, &Export_Siemens},
    {ExportFormat::Outlook, "einfache CSV", "outlook", "outlook.csv", "displayName;destination", false,
     &Build_Outlook_Line, &Export_Outlook},
    {ExportFormat::Simple, "keine Änderung", "simple", "simple.csv", "displayName;destination", false,
     &Build_Simple_Line, &Export_Simple},
}};
inline constexpr int kFormatCount = static_cast<int>(kExportFormats.size());

const FormatTraits& TraitsOf(ExportFormat format);
// The value of "Typ" as the window compares it: exactly "0" to "3", so "02", " 1" or "x" name none.
std::optional<ExportFormat> FormatFromTyp(std::string_view typ);
// What "Typ" stores for a format: its index as one digit.
std::string TypOf(ExportFormat format);
std::optional<ExportFormat> FormatFromOptionName(std::string_view name);

}  // namespace fernkartei::exporting
