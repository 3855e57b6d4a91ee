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

// Text that comes from a contact (the label, the raw number of simple.csv) made into one safe cell: ";"
// would open a new column, so it becomes ","; control characters (C0 with TAB, CR and LF, DEL, C1 with
// U+0085) and the line and paragraph separators U+2028 and U+2029 would break the line in one reader
// or another, so each becomes one blank; '"' makes common CSV readers join lines, so it becomes "'".
// The cell is trimmed of blanks. A cell that a spreadsheet would run as a formula gets a leading "'":
// one that starts with "=" or "@", and one that starts with "+" or "-" and calls a function, links
// another program ("|") or reaches into another sheet ("!"). Telephone numbers, which may start with "+"
// and must reach the PBX unchanged, never do.
std::string ContactCell(std::string_view contact_text);

}  // namespace fernkartei::exporting
