#pragma once
// The line builders: one telephone entry of a contact turned into one line of the file.

#include <string>
#include <string_view>

namespace fernkartei::exporting {

// What a line is made of; each format uses what its columns need.
struct LineInput {
  std::string_view label;          // the contact name and the entry's suffix
  std::string_view number;         // as the contact holds it
  std::string_view participants;   // the visibleFor column
  bool area_table_exists = false;  // the formatter's database mode
  std::string_view number_template;
};

// The finished line without its line end, or empty text when the entry gives no line. A builder never
// throws: whatever goes wrong while building only costs that one line.
using LineBuilder = std::string (*)(const LineInput& input);

std::string Build_Nfon_Line(const LineInput& input);
std::string Build_Siemens_Line(const LineInput& input);
std::string Build_Outlook_Line(const LineInput& input);
std::string Build_Simple_Line(const LineInput& input);

// Text that comes from a contact must not break the line structure: ";" would open a new column and
// CR or LF a new line, so they become "," and " ".
std::string KeepInOneColumn(std::string_view contact_text);

}  // namespace fernkartei::exporting
