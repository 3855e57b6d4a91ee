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
    std::string line = support::Trim(KeepInOneColumn(input.label));
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

}  // namespace

std::string KeepInOneColumn(std::string_view contact_text) {
  std::string out(contact_text);
  for (char& c : out) {
    if (c == ';') {
      c = ',';
    } else if (c == '\r' || c == '\n') {
      c = ' ';
    }
  }
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
    const std::string raw = support::Trim(KeepInOneColumn(input.number));
    if (raw.empty()) return {};
    return support::Trim(KeepInOneColumn(input.label)) + ';' + raw;
  } catch (...) {
    return {};
  }
}

}  // namespace fernkartei::exporting
