#pragma once
// Which of Outlook's eight telephone properties each TEL line of a card fills, the way Outlook's own
// vCard import and Evolution read the types real programs write.

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "contacts/vcard_parser.h"

namespace fernkartei::contacts {

enum class TelephoneSlot {
  Primary,
  Business,
  Business2,
  Home,
  Home2,
  Mobile,
  CompanyMain,
  Other,
};
inline constexpr std::size_t kTelephoneSlotCount = 8;

// The Outlook property names, indexed by TelephoneSlot.
inline constexpr std::array<std::string_view, kTelephoneSlotCount> kTelephonePropertyNames = {
    "PrimaryTelephoneNumber",     "BusinessTelephoneNumber", "Business2TelephoneNumber",
    "HomeTelephoneNumber",        "Home2TelephoneNumber",    "MobileTelephoneNumber",
    "CompanyMainTelephoneNumber", "OtherTelephoneNumber"};

// A line that carried a number but found every property it may fill taken.
struct DroppedNumber {
  std::string number;
  std::string types;  // as "WORK,VOICE", for the diagnostic
};

struct TelephoneNumbers {
  std::array<std::string, kTelephoneSlotCount> numbers;  // indexed by TelephoneSlot, empty when unset
  std::vector<DroppedNumber> dropped;
};

// The number a TEL line carries: escapes undone, a "tel:" URI scheme dropped, outer blanks removed.
std::string TelephoneValue(const VCardProperty& line, bool version21);

// Goes through the card's TEL and X-MS-TEL lines in the order of the file.
TelephoneNumbers MapTelephones(const VCard& card);

}  // namespace fernkartei::contacts
