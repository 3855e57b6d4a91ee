#include "contacts/telephone_mapping.h"

#include <optional>

#include "contacts/vcard_text.h"
#include "support/text.h"

namespace fernkartei::contacts {
namespace {

using support::TrimBlanks;

enum class Rule { NotExported, Company, Mobile, Main, Work, Home, Preferred, Other };

Rule Classify(const VCardProperty& line) {
  const auto has = [&](std::string_view t) { return line.HasType(t); };
  const bool ms_tel = line.name == "X-MS-TEL";
  if (has("FAX") || has("PAGER") || has("CAR") || has("ISDN") || has("MODEM") || has("BBS") ||
      has("TEXTPHONE") || (ms_tel && !has("COMPANY"))) {
    return Rule::NotExported;
  }
  if (ms_tel || has("X-EVOLUTION-COMPANY")) return Rule::Company;
  if (has("CELL") || has("IPHONE")) return Rule::Mobile;
  if (has("MAIN")) return Rule::Main;
  if (has("WORK")) return Rule::Work;
  if (has("HOME")) return Rule::Home;

  bool pref_type = false;
  bool only_flags = true;  // nothing but PREF and VOICE among the types
  if (const auto* types = line.Parameter("TYPE")) {
    for (const auto& t : types->values) {
      if (t == "PREF") {
        pref_type = true;
      } else if (t != "VOICE") {
        only_flags = false;
      }
    }
  }
  const bool pref_param = line.Parameter("PREF") != nullptr;
  if (only_flags && (pref_type || pref_param)) return Rule::Preferred;
  return Rule::Other;
}

std::string TypesText(const VCardProperty& line) {
  std::string text;
  if (const auto* types = line.Parameter("TYPE")) {
    for (const auto& t : types->values) {
      if (!text.empty()) text += ',';
      text += t;
    }
  }
  return text;
}

struct WantedSlots {
  TelephoneSlot first;
  std::optional<TelephoneSlot> second;  // for a second number of the same kind
};

// Nothing for a number that is not exported.
std::optional<WantedSlots> SlotsFor(Rule rule) {
  switch (rule) {
    case Rule::NotExported:
      break;
    case Rule::Company:
      return WantedSlots{TelephoneSlot::CompanyMain, std::nullopt};
    case Rule::Mobile:
      return WantedSlots{TelephoneSlot::Mobile, std::nullopt};
    case Rule::Main:
    case Rule::Preferred:
      return WantedSlots{TelephoneSlot::Primary, std::nullopt};
    case Rule::Work:
      return WantedSlots{TelephoneSlot::Business, TelephoneSlot::Business2};
    case Rule::Home:
      return WantedSlots{TelephoneSlot::Home, TelephoneSlot::Home2};
    case Rule::Other:
      return WantedSlots{TelephoneSlot::Other, std::nullopt};
  }
  return std::nullopt;
}

}  // namespace

std::string TelephoneValue(const VCardProperty& line, bool version21) {
  std::string value = UnescapeText(line.value, version21);
  std::string_view number = TrimBlanks(value);
  // A 4.0 number is often a URI ("tel:+49-30-1234;ext=5"); the scheme is no part of the number.
  if (support::StartsWithIgnoringAsciiCase(number, "tel:")) number = TrimBlanks(number.substr(4));
  return std::string(number);
}

TelephoneNumbers MapTelephones(const VCard& card) {
  TelephoneNumbers result;
  const auto slot = [&](TelephoneSlot s) -> std::string& {
    return result.numbers[static_cast<std::size_t>(s)];
  };
  const bool v21 = card.IsVersion21();

  for (const auto& line : card.properties) {
    if (line.name != "TEL" && line.name != "X-MS-TEL") continue;
    std::string number = TelephoneValue(line, v21);
    const auto wanted = SlotsFor(Classify(line));
    if (number.empty() || !wanted) continue;
    // The first free one of the wanted slot, its second, and OtherTelephoneNumber.
    std::string* target = nullptr;
    if (slot(wanted->first).empty()) {
      target = &slot(wanted->first);
    } else if (wanted->second && slot(*wanted->second).empty()) {
      target = &slot(*wanted->second);
    } else if (slot(TelephoneSlot::Other).empty()) {
      target = &slot(TelephoneSlot::Other);
    }
    if (target) {
      *target = std::move(number);
    } else {
      result.dropped.push_back(DroppedNumber{std::move(number), TypesText(line)});
    }
  }
  return result;
}

}  // namespace fernkartei::contacts
