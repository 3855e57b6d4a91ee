// Which of the eight telephone properties each TEL line fills, as the writers of each vCard version
// spell their types.

#include "contacts/telephone_mapping.h"

#include <gtest/gtest.h>

#include <map>

#include "card_helpers.h"

namespace fernkartei::contacts {
namespace {

using testing::Card;
using testing::OnlyRecord;
using Slot = TelephoneSlot;

struct MappingCase {
  const char* what;
  const char* version;
  std::string tel_lines;                 // CR LF after each line
  std::map<Slot, std::string> expected;  // every other property stays empty
  std::size_t dropped = 0;
};

const MappingCase kCases[] = {
    // 2.1: bare types, as Outlook, Android and Evolution write them.
    {"work voice", "2.1", "TEL;WORK;VOICE:1\r\n", {{Slot::Business, "1"}}},
    {"home voice", "2.1", "TEL;HOME;VOICE:1\r\n", {{Slot::Home, "1"}}},
    {"cell voice", "2.1", "TEL;CELL;VOICE:1\r\n", {{Slot::Mobile, "1"}}},
    {"cell with work is mobile", "2.1", "TEL;WORK;CELL:1\r\n", {{Slot::Mobile, "1"}}},
    {"cell with home is mobile", "2.1", "TEL;HOME;CELL:1\r\n", {{Slot::Mobile, "1"}}},
    {"pref on cell is only a flag", "2.1", "TEL;CELL;PREF:1\r\n", {{Slot::Mobile, "1"}}},
    {"pref on work is only a flag", "2.1", "TEL;PREF;WORK:1\r\n", {{Slot::Business, "1"}}},
    {"pref alone", "2.1", "TEL;PREF:1\r\n", {{Slot::Primary, "1"}}},
    {"pref with voice", "2.1", "TEL;PREF;VOICE:1\r\n", {{Slot::Primary, "1"}}},
    {"untyped", "2.1", "TEL:1\r\n", {{Slot::Other, "1"}}},
    {"voice alone", "2.1", "TEL;VOICE:1\r\n", {{Slot::Other, "1"}}},
    {"fax pager car isdn modem bbs never exported",
     "2.1",
     "TEL;WORK;FAX:1\r\nTEL;HOME;FAX:2\r\nTEL;PAGER:3\r\nTEL;CAR:4\r\nTEL;ISDN:5\r\nTEL;MODEM:6\r\nTEL;BBS:"
     "7\r\n",
     {}},
    {"fax beats pref", "2.1", "TEL;PREF;FAX:1\r\n", {}},
    {"X-MS-TEL other than company", "2.1", "X-MS-TEL;VOICE;CALLBACK:1\r\nX-MS-TEL;VOICE;ASSISTANT:2\r\n", {}},
    {"X-MS-TEL company", "2.1", "X-MS-TEL;TYPE=COMPANY:1\r\n", {{Slot::CompanyMain, "1"}}},
    {"X-MS-TEL company bare", "2.1", "X-MS-TEL;VOICE;COMPANY:1\r\n", {{Slot::CompanyMain, "1"}}},
    {"evolution company", "2.1", "TEL;X-EVOLUTION-COMPANY:1\r\n", {{Slot::CompanyMain, "1"}}},
    {"main", "2.1", "TEL;MAIN:1\r\n", {{Slot::Primary, "1"}}},
    {"main then pref: primary taken",
     "2.1",
     "TEL;MAIN:1\r\nTEL;PREF:2\r\n",
     {{Slot::Primary, "1"}, {Slot::Other, "2"}}},
    {"second work is business 2",
     "2.1",
     "TEL;WORK:1\r\nTEL;WORK;VOICE:2\r\n",
     {{Slot::Business, "1"}, {Slot::Business2, "2"}}},
    {"second home is home 2", "2.1", "TEL;HOME:1\r\nTEL;HOME:2\r\n", {{Slot::Home, "1"}, {Slot::Home2, "2"}}},
    {"third home goes to other, fourth is dropped",
     "2.1",
     "TEL;HOME:1\r\nTEL;HOME:2\r\nTEL;HOME:3\r\nTEL;HOME:4\r\n",
     {{Slot::Home, "1"}, {Slot::Home2, "2"}, {Slot::Other, "3"}},
     1},
    {"second mobile goes to other",
     "2.1",
     "TEL;CELL:1\r\nTEL;CELL:2\r\n",
     {{Slot::Mobile, "1"}, {Slot::Other, "2"}}},
    {"second untyped is dropped", "2.1", "TEL:1\r\nTEL:2\r\n", {{Slot::Other, "1"}}, 1},
    {"taken slot after other is filled",
     "2.1",
     "TEL:1\r\nTEL;CELL:2\r\nTEL;CELL:3\r\n",
     {{Slot::Other, "1"}, {Slot::Mobile, "2"}},
     1},
    {"empty numbers take no slot",
     "2.1",
     "TEL;WORK:\r\nTEL;WORK: \r\nTEL;WORK:9\r\n",
     {{Slot::Business, "9"}}},
    {"quoted-printable number",
     "2.1",
     "TEL;WORK;ENCODING=QUOTED-PRINTABLE:+49 =28030=29 1\r\n",
     {{Slot::Business, "+49 (030) 1"}}},
    {"lower-case names and types", "2.1", "tel;work:1\r\n", {{Slot::Business, "1"}}},

    // 3.0: TYPE= lists, repeated TYPE=, quoted lists, labelled items.
    {"type list",
     "3.0",
     "TEL;TYPE=WORK,VOICE:1\r\nTEL;TYPE=HOME,VOICE:2\r\n",
     {{Slot::Business, "1"}, {Slot::Home, "2"}}},
    {"quoted type list", "3.0", "TEL;TYPE=\"WORK,VOICE\":1\r\n", {{Slot::Business, "1"}}},
    {"repeated type",
     "3.0",
     "TEL;type=WORK;type=pref:1\r\nTEL;type=HOME;type=FAX:2\r\n",
     {{Slot::Business, "1"}}},
    {"apple iphone", "3.0", "TEL;type=IPHONE;type=VOICE:1\r\n", {{Slot::Mobile, "1"}}},
    {"apple cell pref", "3.0", "TEL;type=CELL;type=VOICE;type=pref:1\r\n", {{Slot::Mobile, "1"}}},
    {"labelled item", "3.0", "item1.TEL:1\r\nitem1.X-ABLabel:Assistent\r\n", {{Slot::Other, "1"}}},
    {"labelled item with a type keeps its type", "3.0", "item2.TEL;type=HOME:1\r\n", {{Slot::Home, "1"}}},
    {"google main", "3.0", "TEL;TYPE=MAIN:1\r\n", {{Slot::Primary, "1"}}},
    {"type pref alone", "3.0", "TEL;TYPE=pref:1\r\n", {{Slot::Primary, "1"}}},
    {"type pref with voice", "3.0", "TEL;TYPE=VOICE,PREF:1\r\n", {{Slot::Primary, "1"}}},
    {"other type", "3.0", "TEL;TYPE=OTHER:1\r\n", {{Slot::Other, "1"}}},
    {"unknown type", "3.0", "TEL;TYPE=X-CUSTOM:1\r\n", {{Slot::Other, "1"}}},
    {"textphone", "3.0", "TEL;TYPE=TEXTPHONE:1\r\n", {}},
    {"evolution company", "3.0", "TEL;TYPE=X-EVOLUTION-COMPANY:1\r\n", {{Slot::CompanyMain, "1"}}},
    {"escaped comma in number", "3.0", "TEL;TYPE=WORK:1\\,2\r\n", {{Slot::Business, "1,2"}}},

    // 4.0: quoted lower-case lists, PREF=n, tel: URIs.
    {"uri with extension",
     "4.0",
     "TEL;VALUE=uri;TYPE=\"work,voice\";PREF=1:tel:+1-418-656-9254;ext=102\r\n",
     {{Slot::Business, "+1-418-656-9254;ext=102"}}},
    {"untyped with pref", "4.0", "TEL;PREF=1:+49 30 1\r\n", {{Slot::Primary, "+49 30 1"}}},
    {"voice with pref", "4.0", "TEL;TYPE=voice;PREF=2:1\r\n", {{Slot::Primary, "1"}}},
    {"untyped uri", "4.0", "TEL;VALUE=uri:tel:0301234\r\n", {{Slot::Other, "0301234"}}},
    {"upper-case scheme", "4.0", "TEL;VALUE=uri;TYPE=home:TEL:0301234\r\n", {{Slot::Home, "0301234"}}},
    {"text is not a type that excludes", "4.0", "TEL;TYPE=\"voice,cell,text\":1\r\n", {{Slot::Mobile, "1"}}},
    {"text alone is other", "4.0", "TEL;TYPE=text:1\r\n", {{Slot::Other, "1"}}},
    {"pref on home is only a flag", "4.0", "TEL;PREF=1;TYPE=home:1\r\n", {{Slot::Home, "1"}}},
    {"thunderbird without type", "4.0", "TEL:1\r\n", {{Slot::Other, "1"}}},
    {"every slot once",
     "4.0",
     "TEL;TYPE=main:1\r\nTEL;TYPE=work:2\r\nTEL;TYPE=work:3\r\nTEL;TYPE=home:4\r\nTEL;TYPE=home:5\r\n"
     "TEL;TYPE=cell:6\r\nTEL;TYPE=x-evolution-company:7\r\nTEL:8\r\n",
     {{Slot::Primary, "1"},
      {Slot::Business, "2"},
      {Slot::Business2, "3"},
      {Slot::Home, "4"},
      {Slot::Home2, "5"},
      {Slot::Mobile, "6"},
      {Slot::CompanyMain, "7"},
      {Slot::Other, "8"}}},
};

TEST(TelephoneMapping, FollowsTheFirstMatchingRule) {
  for (const auto& c : kCases) {
    SCOPED_TRACE(std::string(c.version) + ": " + c.what);
    std::vector<std::string> dropped;
    const ContactRecord r = OnlyRecord(Card(c.version, "N:Muster;Max\r\n" + c.tel_lines), &dropped);
    for (std::size_t i = 0; i < kTelephoneSlotCount; ++i) {
      const auto it = c.expected.find(static_cast<Slot>(i));
      EXPECT_EQ(r.telephone(static_cast<Slot>(i)), it == c.expected.end() ? "" : it->second)
          << exporting::kTelephoneEntries[i].property;
    }
    EXPECT_EQ(dropped.size(), c.dropped);
  }
}

TEST(TelephoneMapping, DroppedNumberIsNamedInTheDiagnostic) {
  std::vector<std::string> dropped;
  OnlyRecord(Card("3.0", "TEL;TYPE=CELL:1\r\nTEL:2\r\nTEL;TYPE=CELL:0171 999\r\n"), &dropped);
  ASSERT_EQ(dropped.size(), 1u);
  EXPECT_NE(dropped[0].find("0171 999"), std::string::npos) << dropped[0];
  EXPECT_NE(dropped[0].find("CELL"), std::string::npos) << dropped[0];
}

TEST(TelephoneMapping, ValueLeavesOnlyTheNumber) {
  struct Case {
    const char* version;
    const char* value;
    const char* number;
  };
  const Case cases[] = {
      {"4.0", "tel:+49-30-1234", "+49-30-1234"},
      {"4.0", " tel: +49 30 ", "+49 30"},
      {"3.0", "030\\;1", "030;1"},
      {"2.1", "030\\,1", "030\\,1"},  // 2.1 knows no escaped comma
      {"2.1", "  (0 30) 1  ", "(0 30) 1"},
  };
  for (const auto& c : cases) {
    VCardProperty line;
    line.name = "TEL";
    line.value = c.value;
    EXPECT_EQ(TelephoneValue(line, std::string_view(c.version) == "2.1"), c.number) << c.value;
  }
}

}  // namespace
}  // namespace fernkartei::contacts
