#include "contacts/contact_record.h"

#include "contacts/vcard_text.h"
#include "support/text.h"

namespace fernkartei::contacts {
namespace {

const VCardProperty* First(const VCard& card, std::string_view name) {
  for (const auto& p : card.properties) {
    if (p.name == name) return &p;
  }
  return nullptr;
}

bool IsGroup(const VCard& card) {
  for (const auto& p : card.properties) {
    if (p.name == "KIND" || p.name == "X-ADDRESSBOOKSERVER-KIND") {
      if (support::EqualsIgnoringAsciiCase(support::Trim(p.value), "group")) return true;
    }
  }
  return false;
}

// Blanks around a name part are left-overs of the writer, never part of the name.
std::string Clean(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    if (c == '\n' || c == '\r' || c == '\t') c = ' ';
  }
  return support::Trim(out);
}

}  // namespace

bool IsContactProperty(std::string_view upper_name) {
  return upper_name == "N" || upper_name == "FN" || upper_name == "ORG" || upper_name == "TEL" ||
         upper_name == "X-MS-TEL" || upper_name == "KIND" || upper_name == "X-ADDRESSBOOKSERVER-KIND";
}

ContactRecord ToContactRecord(const VCard& card, std::vector<std::string>* dropped) {
  ContactRecord record;
  record.is_contact = !IsGroup(card);
  const bool v21 = card.IsVersion21();

  if (const auto* n = First(card, "N")) {
    const auto parts = SplitComponents(n->value, v21);
    record.last_name = Clean(parts[0]);
    if (parts.size() > 1) record.first_name = Clean(parts[1]);
  }
  if (const auto* fn = First(card, "FN")) record.full_name = Clean(UnescapeText(fn->value, v21));

  if (!record.last_name.empty() && !record.first_name.empty()) {
    record.last_name_and_first_name = record.last_name + ", " + record.first_name;
  } else if (!record.last_name.empty() || !record.first_name.empty()) {
    record.last_name_and_first_name = record.last_name + record.first_name;
  } else if (!record.full_name.empty()) {
    record.last_name_and_first_name = record.full_name;
  } else if (const auto* org = First(card, "ORG")) {
    // The organisation's name; its units follow only when the name itself is empty.
    for (const auto& part : SplitComponents(org->value, v21)) {
      const std::string clean = Clean(part);
      if (!clean.empty()) {
        record.last_name_and_first_name = clean;
        break;
      }
    }
  }
  if (record.full_name.empty()) record.full_name = record.last_name_and_first_name;

  auto numbers = MapTelephones(card);
  record.telephones = std::move(numbers.numbers);
  if (dropped) {
    for (const auto& d : numbers.dropped) {
      dropped->push_back(
          "Nummer \"" + d.number + "\"" + (d.types.empty() ? "" : " (" + d.types + ")") +
          " nicht exportiert: die passenden Telefonfelder und OtherTelephoneNumber sind schon belegt");
    }
  }
  return record;
}

std::optional<std::string> PropertyOf(const ContactRecord& record, std::string_view outlook_name) {
  const auto is = [&](std::string_view name) { return support::EqualsIgnoringAsciiCase(outlook_name, name); };
  if (is("LastName")) return record.last_name;
  if (is("FirstName")) return record.first_name;
  if (is("LastNameAndFirstName")) return record.last_name_and_first_name;
  if (is("FullName")) return record.full_name;
  for (std::size_t i = 0; i < kTelephoneSlotCount; ++i) {
    if (is(kTelephonePropertyNames[i])) return record.telephones[i];
  }
  return std::nullopt;
}

}  // namespace fernkartei::contacts
