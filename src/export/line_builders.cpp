#include "export/line_builders.h"

#include <array>

#include "phone/phone_number.h"
#include "support/text.h"

namespace fernkartei::exporting {
namespace {

enum class Tail { Nfon, Siemens, None };

std::string BuildFormattedLine(std::string_view label, std::string_view number, std::string_view participants,
                               bool area_table_exists, std::string_view number_template, Tail tail) {
  try {
    if (number.empty()) return {};
    const std::string formatted = phone::Format_Phone_Number(number, area_table_exists, number_template);
    if (formatted.empty()) return {};
    std::string line = support::Trim(KeepInOneColumn(label));
    line += ';';
    line += formatted;
    if (tail == Tail::Nfon || tail == Tail::Siemens) {
      line += ';';
      line += participants;
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

std::string Build_Nfon_Line(std::string_view label, std::string_view number, std::string_view participants,
                            bool area_table_exists, std::string_view number_template) {
  return BuildFormattedLine(label, number, participants, area_table_exists, number_template, Tail::Nfon);
}

std::string Build_Siemens_Line(std::string_view label, std::string_view number, std::string_view participants,
                               bool area_table_exists, std::string_view number_template) {
  return BuildFormattedLine(label, number, participants, area_table_exists, number_template, Tail::Siemens);
}

std::string Build_Outlook_Line(std::string_view label, std::string_view number, std::string_view participants,
                               bool area_table_exists, std::string_view number_template) {
  return BuildFormattedLine(label, number, participants, area_table_exists, number_template, Tail::None);
}

std::string Build_Simple_Line(std::string_view label, std::string_view number, std::string_view, bool,
                              std::string_view) {
  try {
    const std::string raw = support::Trim(KeepInOneColumn(number));
    if (raw.empty()) return {};
    return support::Trim(KeepInOneColumn(label)) + ';' + raw;
  } catch (...) {
    return {};
  }
}

const FormatTraits& TraitsOf(ExportFormat format) {
  static const std::array<FormatTraits, 4> kTraits = {{
      {"nfon.csv", "displayName;destination;visibleFor;vpnTargetNumber;vpnProvider", &Build_Nfon_Line, true},
      {"siemens.csv", "displayName;destination;visibleFor", &Build_Siemens_Line, true},
      {"outlook.csv", "displayName;destination", &Build_Outlook_Line, false},
      {"simple.csv", "displayName;destination", &Build_Simple_Line, false},
  }};
  const auto index = static_cast<std::size_t>(format);
  return kTraits.at(index < kTraits.size() ? index : 0);
}

}  // namespace fernkartei::exporting
