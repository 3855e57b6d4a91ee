#pragma once
// Cleaning a telephone number down to "+" and digits, and rewriting it through the user's template
// ("I (V) N": international prefix, area code, subscriber number).

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace fernkartei::phone {

// The longest beginning of a key that begins a stored area code; empty when none does.
using AreaCodeLookup = std::function<std::string(std::string_view key)>;

std::string Clean_Phone_Number(std::string_view number);
// The template filled in, or empty when the number gives no usable result. Database mode asks
// find_area_code; fixed-length mode cuts area codes at 3 or 4 digits.
std::string FormatPhoneNumber(std::string_view number, bool use_area_table, std::string_view number_template,
                              const AreaCodeLookup& find_area_code);
// The same over Find_Area_Code, that is over DB_Connection.
std::string Format_Phone_Number(std::string_view number, bool use_area_table,
                                std::string_view number_template);

// Raw texts this long or longer (counted in UTF-16 units, as the old program counted) give no number.
inline constexpr std::size_t kMaxRawNumberLength = 32766;

// How one number is split; what Format_Phone_Number writes into the template and --explain shows.
struct NumberParts {
  bool database_mode = false;
  std::string cleaned;
  std::string international_prefix;        // "I"
  std::string lookup_key;                  // database mode: what Find_Area_Code was asked
  std::string area_code;                   // "V"
  std::string subscriber_number;           // "N"
  bool area_code_by_fixed_length = false;  // database mode: the lookup found nothing
};

// The parts of a number, or nothing when it gives no usable result (empty, too short, too long).
std::optional<NumberParts> SplitPhoneNumber(std::string_view number, bool use_area_table,
                                            const AreaCodeLookup& find_area_code);
// Every capital "I", "V" and "N" of the template replaced by its part; all else copied.
std::string ExpandNumberTemplate(std::string_view number_template, const NumberParts& parts);

}  // namespace fernkartei::phone
