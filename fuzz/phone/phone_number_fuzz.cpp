// Input: template, a NUL byte, stored codes separated by ";", a NUL byte, the raw number.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "phone/area_code_index.h"
#include "phone/phone_number.h"

namespace {

using namespace fernkartei::phone;

std::string_view NextPart(std::string_view& rest) {
  const auto end = rest.find('\0');
  const auto part = rest.substr(0, end);
  rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
  return part;
}

void Check(bool condition) {
  if (!condition) std::abort();
}

// What the longest-prefix question means, asked the slow way.
std::size_t LongestByScan(const std::vector<std::string>& codes, std::string_view key) {
  std::size_t best = 0;
  for (const auto& code : codes) {
    std::size_t shared = 0;
    while (shared < code.size() && shared < key.size() && code[shared] == key[shared] &&
           (key[shared] == '+' || (key[shared] >= '0' && key[shared] <= '9')))
      ++shared;
    if (shared > best) best = shared;
  }
  return best;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view rest(reinterpret_cast<const char*>(data), size);
  const auto number_template = NextPart(rest);
  auto code_list = NextPart(rest);
  const auto number = rest;

  std::vector<std::string> codes;
  while (!code_list.empty()) {
    const auto end = code_list.find(';');
    codes.emplace_back(code_list.substr(0, end));
    code_list.remove_prefix(end == std::string_view::npos ? code_list.size() : end + 1);
  }
  const AreaCodeIndex index(codes);
  const auto cleaned = Clean_Phone_Number(number);
  for (char c : cleaned) Check(c == '+' || (c >= '0' && c <= '9'));
  Check(index.LongestCodePrefix(cleaned).size() == LongestByScan(codes, cleaned));

  const AreaCodeLookup lookup = [&index](std::string_view key) {
    return std::string(index.LongestCodePrefix(key));
  };
  for (bool database_mode : {false, true}) {
    const auto parts = SplitPhoneNumber(number, database_mode, lookup);
    const auto formatted = FormatPhoneNumber(number, database_mode, number_template, lookup);
    if (!parts) {
      Check(formatted.empty());
      continue;
    }
    Check(parts->cleaned == cleaned);
    Check(formatted == ExpandNumberTemplate(number_template, *parts));
    // Area code and subscriber number are the cleaned number less what came before them.
    const auto tail = parts->area_code + parts->subscriber_number;
    Check(cleaned.ends_with(tail));
  }
  return 0;
}
