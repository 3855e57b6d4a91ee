#include "phone/phone_number.h"

#include "phone/area_code_database.h"

namespace fernkartei::phone {
namespace {

// Texts cut as the old program cut them: the first k characters are all of a shorter text, but asking
// for what follows the first k characters of a shorter text is a failure, which ends the call.
struct CutFailed {};

std::string_view First(std::string_view text, std::size_t count) {
  return text.substr(0, count);
}

std::string_view After(std::string_view text, std::size_t count) {
  if (text.size() < count) throw CutFailed{};
  return text.substr(count);
}

// UTF-16 units of a UTF-8 text: a four-byte sequence is a surrogate pair, every other lead (or stray)
// byte one unit.
std::size_t Utf16Length(std::string_view text) {
  std::size_t units = 0;
  for (char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if ((byte & 0xC0) == 0x80) continue;
    units += byte >= 0xF0 && byte <= 0xF4 ? 2 : 1;
  }
  return units;
}

std::string CountryPrefixOf(std::string_view p) {
  if (p.starts_with('+')) return std::string(First(p, 3));
  std::string prefix = "+";
  prefix += First(After(p, 2), 2);
  return prefix;
}

void SplitByDatabase(NumberParts& parts, const AreaCodeLookup& find_area_code) {
  const std::string_view p = parts.cleaned;
  std::string_view key;
  if (p.starts_with('+')) {
    parts.international_prefix = First(p, 3);
    key = After(p, 3);
  } else if (p.starts_with("00")) {
    parts.international_prefix = CountryPrefixOf(p);
    key = After(p, 4);
  } else {
    parts.international_prefix = "+49";
    key = p.starts_with('0') ? After(p, 1) : p;
  }
  // "+49 (0) 6221 ..." carries the trunk "0" after the country code. No area code begins with "0", so
  // the lookup would miss and the fixed cut would keep the "0" in the area code: undiallable. Other
  // countries keep theirs (Italian numbers need it).
  if (parts.international_prefix == "+49" && key.starts_with('0')) key.remove_prefix(1);
  parts.lookup_key = key;
  parts.area_code = find_area_code(key);
  if (parts.area_code.empty()) {
    parts.area_code_by_fixed_length = true;
    parts.area_code = First(key, key.starts_with('0') || key.starts_with('1') ? 3 : 4);
  }
  parts.subscriber_number = After(key, parts.area_code.size());
}

void SplitByFixedLengths(NumberParts& parts) {
  std::string_view p = parts.cleaned;
  if (p.starts_with('+') || p.starts_with("00")) {
    parts.international_prefix = CountryPrefixOf(p);
    const std::string_view rest = After(p, p.starts_with('+') ? 3 : 4);
    if (rest.starts_with('1')) {
      parts.subscriber_number = After(rest, 3);
      parts.area_code = First(rest, 3);
    } else if (rest.starts_with('0')) {
      parts.subscriber_number = After(rest, 4);
      parts.area_code = rest.substr(1, 3);
    } else {
      parts.subscriber_number = After(rest, 4);
      parts.area_code = First(rest, 4);
    }
    return;
  }
  parts.international_prefix = "+49";
  std::string national;
  if (!p.starts_with('0')) {
    national = "0";
    national += p;
    p = national;
  }
  const std::size_t length = p.size() > 1 && p[1] == '1' ? 3 : 4;
  parts.subscriber_number = After(p, length + 1);
  parts.area_code = p.substr(1, length);
}

}  // namespace

std::string Clean_Phone_Number(std::string_view number) {
  std::string cleaned;
  if (number.size() > kMaxRawNumberLength && Utf16Length(number) > kMaxRawNumberLength) return cleaned;
  cleaned.reserve(number.size() < 32 ? number.size() : 32);
  for (char c : number)
    if ((c >= '0' && c <= '9') || c == '+') cleaned.push_back(c);
  return cleaned;
}

std::optional<NumberParts> SplitPhoneNumber(std::string_view number, bool use_area_table,
                                            const AreaCodeLookup& find_area_code) {
  NumberParts parts;
  parts.database_mode = use_area_table;
  parts.cleaned = Clean_Phone_Number(number);
  if (parts.cleaned.empty()) return std::nullopt;
  if (!use_area_table && parts.cleaned.size() < 6) return std::nullopt;
  try {
    if (use_area_table)
      SplitByDatabase(parts, find_area_code);
    else
      SplitByFixedLengths(parts);
  } catch (const CutFailed&) {
    return std::nullopt;
  }
  return parts;
}

std::string ExpandNumberTemplate(std::string_view number_template, const NumberParts& parts) {
  // The parts hold only "+" and digits, so one pass gives what three replacements in turn would.
  std::string result;
  result.reserve(number_template.size() + parts.cleaned.size() + 4);
  for (char c : number_template) {
    switch (c) {
      case 'I':
        result += parts.international_prefix;
        break;
      case 'V':
        result += parts.area_code;
        break;
      case 'N':
        result += parts.subscriber_number;
        break;
      default:
        result.push_back(c);
    }
  }
  return result;
}

std::string FormatPhoneNumber(std::string_view number, bool use_area_table, std::string_view number_template,
                              const AreaCodeLookup& find_area_code) {
  try {
    const auto parts = SplitPhoneNumber(number, use_area_table, find_area_code);
    return parts ? ExpandNumberTemplate(number_template, *parts) : std::string();
  } catch (...) {
    return {};  // any failure: no number, nothing shown or logged
  }
}

std::string Format_Phone_Number(std::string_view number, bool use_area_table,
                                std::string_view number_template) {
  return FormatPhoneNumber(number, use_area_table, number_template, &Find_Area_Code);
}

}  // namespace fernkartei::phone
