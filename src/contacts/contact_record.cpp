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
  for (const std::string_view name : kContactPropertyNames) {
    if (upper_name == name) return true;
  }
  return false;
}

ContactRecord::ContactRecord(bool is_contact, const Texts& texts) : is_contact_(is_contact) {
  std::size_t total = 0;
  for (const auto t : texts) total += t.size();
  text_.reserve(total);
  for (std::size_t i = 0; i < kContactFieldCount; ++i) {
    text_.append(texts[i]);
    ends_[i] = static_cast<std::uint32_t>(text_.size());
  }
}

ContactRecord ToContactRecord(const VCard& card, std::vector<std::string>* dropped) {
  const bool v21 = card.IsVersion21();
  std::string last_name, first_name, last_name_and_first_name, full_name;

  if (const auto* n = First(card, "N")) {
    const auto parts = SplitComponents(n->value, v21);
    last_name = Clean(parts[0]);
    if (parts.size() > 1) first_name = Clean(parts[1]);
  }
  if (const auto* fn = First(card, "FN")) full_name = Clean(UnescapeText(fn->value, v21));

  if (!last_name.empty() && !first_name.empty()) {
    last_name_and_first_name = last_name + ", " + first_name;
  } else if (!last_name.empty() || !first_name.empty()) {
    last_name_and_first_name = last_name + first_name;
  } else if (!full_name.empty()) {
    last_name_and_first_name = full_name;
  } else if (const auto* org = First(card, "ORG")) {
    // The organisation's name; its units follow only when the name itself is empty.
    for (const auto& part : SplitComponents(org->value, v21)) {
      std::string clean = Clean(part);
      if (!clean.empty()) {
        last_name_and_first_name = std::move(clean);
        break;
      }
    }
  }
  if (full_name.empty()) full_name = last_name_and_first_name;

  const TelephoneNumbers numbers = MapTelephones(card);
  if (dropped) {
    for (const auto& d : numbers.dropped) {
      dropped->push_back("Nummer \"" + d.number + "\"" +
                         (d.types.empty() ? "" : " (" + support::SanitizeUtf8(d.types) + ")") +
                         " nicht exportiert: die passenden Telefonfelder und OtherTelephoneNumber sind schon "
                         "belegt");
    }
  }
  ContactRecord::Texts texts{last_name, first_name, last_name_and_first_name, full_name};
  for (std::size_t i = 0; i < kTelephoneSlotCount; ++i) texts[4 + i] = numbers.numbers[i];
  return ContactRecord(!IsGroup(card), texts);
}

std::optional<std::string_view> PropertyOf(const ContactRecord& record, std::string_view outlook_name) {
  const auto is = [&](std::string_view name) { return support::EqualsIgnoringAsciiCase(outlook_name, name); };
  if (is("LastName")) return record.last_name();
  if (is("FirstName")) return record.first_name();
  if (is("LastNameAndFirstName")) return record.last_name_and_first_name();
  if (is("FullName")) return record.full_name();
  for (const auto& entry : exporting::kTelephoneEntries) {
    if (is(entry.property)) return record.telephone(entry.slot);
  }
  return std::nullopt;
}

}  // namespace fernkartei::contacts
