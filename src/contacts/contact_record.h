#pragma once
// A card as the export run sees a contact: its names and its eight telephone numbers, worked out once
// when the card is read.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "contacts/telephone_mapping.h"
#include "contacts/vcard_parser.h"

namespace fernkartei::contacts {

// The texts of a record: last name, first name, "Last, First", full name, then the eight telephone
// numbers in the order of TelephoneSlot.
inline constexpr std::size_t kContactFieldCount = 4 + kTelephoneSlotCount;

// All texts of a record live in one string: large address books hold a hundred thousand of these,
// and one allocation per record instead of twelve keeps reading and moving them cheap.
class ContactRecord {
 public:
  using Texts = std::array<std::string_view, kContactFieldCount>;

  ContactRecord() { ends_.fill(0); }
  ContactRecord(bool is_contact, const Texts& texts);

  // False for a card of KIND:group: it is an item of the folder but not a contact.
  bool is_contact() const { return is_contact_; }
  std::string_view Field(std::size_t index) const {
    const std::uint32_t begin = index == 0 ? 0 : ends_[index - 1];
    return std::string_view(text_).substr(begin, ends_[index] - begin);
  }
  std::string_view last_name() const { return Field(0); }
  std::string_view first_name() const { return Field(1); }
  std::string_view last_name_and_first_name() const { return Field(2); }
  std::string_view full_name() const { return Field(3); }
  std::string_view telephone(TelephoneSlot slot) const { return Field(4 + static_cast<std::size_t>(slot)); }

 private:
  bool is_contact_ = true;
  std::array<std::uint32_t, kContactFieldCount> ends_;
  std::string text_;
};

// Builds the record; every number that found no free property is described in `dropped` (German).
ContactRecord ToContactRecord(const VCard& card, std::vector<std::string>* dropped = nullptr);

// The value of a property by its Outlook name (any letter case); nothing when the name is not one
// a contact has.
std::optional<std::string_view> PropertyOf(const ContactRecord& record, std::string_view outlook_name);

// The card properties a record is made of; the reader may skip all others.
inline constexpr std::array<std::string_view, 7> kContactPropertyNames = {
    "N", "FN", "ORG", "TEL", "X-MS-TEL", "KIND", "X-ADDRESSBOOKSERVER-KIND"};

// True for a name of kContactPropertyNames (given upper-case).
bool IsContactProperty(std::string_view upper_name);

}  // namespace fernkartei::contacts
