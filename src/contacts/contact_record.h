#pragma once
// A card as the export run sees a contact: its names and its eight telephone numbers, worked out once
// when the card is read.

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "contacts/telephone_mapping.h"
#include "contacts/vcard_parser.h"

namespace fernkartei::contacts {

struct ContactRecord {
  // False for a card of KIND:group: it is an item of the folder but not a contact.
  bool is_contact = true;
  std::string last_name;
  std::string first_name;
  std::string last_name_and_first_name;
  std::string full_name;
  std::array<std::string, kTelephoneSlotCount> telephones;
};

// Builds the record; every number that found no free property is described in `dropped` (German).
ContactRecord ToContactRecord(const VCard& card, std::vector<std::string>* dropped = nullptr);

// The value of a property by its Outlook name (any letter case); nothing when the name is not one
// a contact has.
std::optional<std::string> PropertyOf(const ContactRecord& record, std::string_view outlook_name);

// True when the card's properties are all a record needs (the reader may skip the rest).
bool IsContactProperty(std::string_view upper_name);

}  // namespace fernkartei::contacts
