#pragma once
// The four export formats: file name, header line and the builder that turns one telephone entry of a
// contact into one line of the file.

#include <string>
#include <string_view>

#include "export/export_run.h"

namespace fernkartei::exporting {

// Each builder takes the display label, the number as the contact holds it, the participants text, the
// database-mode switch of the formatter and the number template, and returns the finished line without
// its line end, or empty text when the entry gives no line. Arguments a format does not use are ignored.
// A builder never throws: whatever goes wrong while building only costs that one line.
std::string Build_Nfon_Line(std::string_view label, std::string_view number, std::string_view participants,
                            bool area_table_exists, std::string_view number_template);
std::string Build_Siemens_Line(std::string_view label, std::string_view number, std::string_view participants,
                               bool area_table_exists, std::string_view number_template);
std::string Build_Outlook_Line(std::string_view label, std::string_view number, std::string_view participants,
                               bool area_table_exists, std::string_view number_template);
std::string Build_Simple_Line(std::string_view label, std::string_view number, std::string_view participants,
                              bool area_table_exists, std::string_view number_template);

using LineBuilder = std::string (*)(std::string_view, std::string_view, std::string_view, bool,
                                    std::string_view);

struct FormatTraits {
  const char* file_name;  // "nfon.csv"
  const char* header;
  LineBuilder build_line;
  bool participants_required;
};

const FormatTraits& TraitsOf(ExportFormat format);

// Text that comes from a contact must not break the line structure: ";" would open a new column and
// CR or LF a new line, so they become "," and " ".
std::string KeepInOneColumn(std::string_view contact_text);

}  // namespace fernkartei::exporting
