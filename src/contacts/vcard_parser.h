#pragma once
// Reads the bytes of a .vcf file into cards. Tolerant by design: whatever a real program wrote, and
// whatever a broken file holds, the reader returns every card it can make out and says what it had to
// pass over; it never throws on bad input.

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "contacts/vcard_bytes.h"

namespace fernkartei::contacts {

struct VCardParameter {
  std::string name;  // upper-case; bare parameters of 2.1 ("WORK", "QUOTED-PRINTABLE") get TYPE or ENCODING
  // Without quotes. TYPE values are split at commas and upper-cased; other values are kept as written.
  std::vector<std::string> values;
};

struct VCardProperty {
  std::string group;  // "item1" of "item1.TEL", empty when there is none
  std::string name;   // upper-case
  std::vector<VCardParameter> parameters;
  // Transfer encoding and character set undone, so always well-formed UTF-8; backslash escapes are
  // still in place, because their meaning depends on the card's version and on the property.
  std::string value;

  const VCardParameter* Parameter(std::string_view upper_name) const;
  // True when a TYPE value equals `upper_type` (given upper-case).
  bool HasType(std::string_view upper_type) const;
};

struct VCard {
  std::string version;                    // as written in VERSION ("2.1", "3.0", "4.0"); empty when missing
  std::size_t first_line = 0;             // line number of its BEGIN:VCARD, counted from 1
  std::vector<VCardProperty> properties;  // in the order of the file

  // Cards without VERSION are read with the later escapes, which 2.1 writers hardly ever need.
  bool IsVersion21() const { return version == "2.1" || version == "2.0" || version == "1.0"; }
};

struct VCardFile {
  std::vector<VCard> cards;
  std::vector<std::string> problems;  // in German, each naming its line
};

// Which properties a caller wants decoded and kept; the others are only stepped over, which is what
// keeps large address books fast. Called with the upper-case name.
using PropertyFilter = bool (*)(std::string_view upper_name);

// `keep` nullptr keeps every property.
VCardFile ParseVCards(std::string_view bytes, PropertyFilter keep = nullptr);

// The same, handing over each card as soon as it is complete (it may be moved from) instead of keeping
// them all; returns the problems.
using CardSink = std::function<void(VCard&)>;
std::vector<std::string> ParseVCards(std::string_view bytes, PropertyFilter keep, const CardSink& on_card);
// The same from a source read piece by piece (a file), holding no more than a few lines of it at once.
// Failures of the source pass to the caller.
std::vector<std::string> ParseVCards(ByteSource& bytes, PropertyFilter keep, const CardSink& on_card);

}  // namespace fernkartei::contacts
