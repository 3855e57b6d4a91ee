#pragma once
// The eight telephone entries of a contact, each defined once: the order in which their lines are
// written, the suffix each adds to the contact's name, the contact property it reads, and the slot a
// vCard's number is sorted into to fill that property.

#include <array>
#include <cstddef>
#include <string_view>

namespace fernkartei::exporting {

enum class TelephoneSlot { Primary, Business, Business2, Home, Home2, Mobile, CompanyMain, Other };

struct TelephoneEntry {
  TelephoneSlot slot;
  std::string_view suffix;    // begins with one space
  std::string_view property;  // Outlook's name of the contact property
};

// " (HT2)" reads Outlook's second home number, a property of its own, as " (BT2)" reads the second
// business number.
inline constexpr std::array<TelephoneEntry, 8> kTelephoneEntries = {{
    {TelephoneSlot::Primary, " (PT)", "PrimaryTelephoneNumber"},
    {TelephoneSlot::Business, " (BT)", "BusinessTelephoneNumber"},
    {TelephoneSlot::Business2, " (BT2)", "Business2TelephoneNumber"},
    {TelephoneSlot::Home, " (HT)", "HomeTelephoneNumber"},
    {TelephoneSlot::Home2, " (HT2)", "Home2TelephoneNumber"},
    {TelephoneSlot::Mobile, " (MT)", "MobileTelephoneNumber"},
    {TelephoneSlot::CompanyMain, " (CT)", "CompanyMainTelephoneNumber"},
    {TelephoneSlot::Other, " (OT)", "OtherTelephoneNumber"},
}};

// A slot is the index of its entry, so that a record can keep its numbers in the order of the lines.
constexpr bool SlotsFollowTheOrder() {
  for (std::size_t i = 0; i < kTelephoneEntries.size(); ++i) {
    if (static_cast<std::size_t>(kTelephoneEntries[i].slot) != i) return false;
  }
  return true;
}
static_assert(SlotsFollowTheOrder());

}  // namespace fernkartei::exporting
