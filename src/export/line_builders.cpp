#include "export/line_builders.h"

#include "phone/phone_number.h"
#include "support/text.h"

namespace fernkartei::exporting {
namespace {

// The columns that follow the number: visibleFor for NFon and Siemens, then NFon's two empty VPN columns.
enum class Tail { Nfon, Siemens, None };

std::string BuildFormattedLine(const LineInput& input, Tail tail) {
  try {
    if (input.number.empty()) return {};
    const std::string formatted =
        phone::Format_Phone_Number(input.number, input.area_table_exists, input.number_template);
    if (formatted.empty()) return {};
    std::string line = ContactCell(input.label);
    line += ';';
    line += formatted;
    if (tail == Tail::Nfon || tail == Tail::Siemens) {
      line += ';';
      line += input.participants;
    }
    if (tail == Tail::Nfon) line += ";;";
    return line;
  } catch (...) {
    return {};
  }
}

// U+0080 to U+009F, U+0085 (next line) among them, in UTF-8.
bool IsC1Control(std::string_view text) {
  return text.size() > 1 && static_cast<unsigned char>(text[0]) == 0xC2 &&
         static_cast<unsigned char>(text[1]) >= 0x80 && static_cast<unsigned char>(text[1]) <= 0x9F;
}

// True when a letter comes before "(", blanks between them allowed: a function call.
bool CallsAFunction(std::string_view cell) {
  bool after_letter = false;
  for (const char c : cell) {
    if (c == '(' && after_letter) return true;
    if (c != ' ') after_letter = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
  }
  return false;
}

// What a spreadsheet would run as a formula. The control characters that would start one (TAB, CR) are
// blanks by now and trimmed away. "+" and "-" start every international number and many written ones
// ("+44-555-5555,ext=5"), which must reach the PBX unchanged; after them a spreadsheet can only
// reckon, unless the cell calls a function, links another program ("|") or reaches into another sheet
// ("!").
bool IsFormulaStart(std::string_view cell) {
  if (cell.front() == '=' || cell.front() == '@') return true;
  if (cell.front() != '+' && cell.front() != '-') return false;
  return cell.find_first_of("|!") != std::string_view::npos || CallsAFunction(cell);
}

}  // namespace

std::string ContactCell(std::string_view contact_text) {
  std::string out;
  out.reserve(contact_text.size());
  for (std::size_t i = 0; i < contact_text.size(); ++i) {
    const auto c = static_cast<unsigned char>(contact_text[i]);
    const std::string_view rest = contact_text.substr(i);
    if (c < 0x20 || c == 0x7F) {
      out += ' ';
    } else if (c == ';') {
      out += ',';
    } else if (c == '"') {
      out += '\'';
    } else if (IsC1Control(rest)) {
      out += ' ';
      i += 1;
    } else if (rest.starts_with("\xE2\x80\xA8") || rest.starts_with("\xE2\x80\xA9")) {  // U+2028, U+2029
      out += ' ';
      i += 2;
    } else {
      out += static_cast<char>(c);
    }
  }
  out = support::Trim(out);
  if (!out.empty() && IsFormulaStart(out)) out.insert(0, 1, '\'');
  return out;
}

std::string Build_Nfon_Line(const LineInput& input) {
  return BuildFormattedLine(input, Tail::Nfon);
}

std::string Build_Siemens_Line(const LineInput& input) {
  return BuildFormattedLine(input, Tail::Siemens);
}

std::string Build_Outlook_Line(const LineInput& input) {
  return BuildFormattedLine(input, Tail::None);
}

std::string Build_Simple_Line(const LineInput& input) {
  try {
    const std::string raw = ContactCell(input.number);
    if (raw.empty()) return {};
    return ContactCell(input.label) + ';' + raw;
  } catch (...) {
    return {};
  }
}

}  // namespace fernkartei::exporting
