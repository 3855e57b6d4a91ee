#pragma once
// Cleaning a telephone number down to "+" and digits, and rewriting it through the user's template
// ("I (V) N": international prefix, area code, subscriber number).

#include <string>
#include <string_view>

namespace fernkartei::phone {

std::string Clean_Phone_Number(std::string_view number);
// The template filled in, or empty when the number gives no usable result. Database mode asks
// Find_Area_Code; fixed-length mode cuts area codes at 3 or 4 digits.
std::string Format_Phone_Number(std::string_view number, bool use_area_table,
                                std::string_view number_template);

}  // namespace fernkartei::phone
