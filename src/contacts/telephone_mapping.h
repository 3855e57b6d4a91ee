#pragma once
// Which of Outlook's eight telephone properties each TEL line of a card fills, the way Outlook's own
// vCard import and Evolution read the types real programs write.

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "contacts/vcard_parser.h"
#include "export/telephone_entries.h"

namespace fernkartei::contacts {

using exporting::TelephoneSlot;
inline constexpr std::size_t kTelephoneSlotCount = exporting::kTelephoneEntries.size();

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
