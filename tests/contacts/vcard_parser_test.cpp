// The reader's view of a line. Whole files, with every encoding and escape, are read in golden_test.cpp.

#include "contacts/vcard_parser.h"

#include <gtest/gtest.h>

namespace fernkartei::contacts {
namespace {

TEST(VCardReader, SplitsHeaderIntoGroupNameAndParameters) {
  std::vector<VCard> cards;
  ParseVCards(
      "BEGIN:VCARD\r\nVERSION:4.0\r\nitem1.tel;Type=\"work,VOICE\";pref=1;VALUE=uri:tel:1\r\n"
      "ADR;GEO=\"geo:51.5,0.1\";LABEL=\"a;b:c\":;;Street\r\nTEL;WORK;VOICE;ENCODING=QUOTED-PRINTABLE:2\r\n"
      "END:VCARD\r\n",
      nullptr, [&](VCard& card) { cards.push_back(card); });
  ASSERT_EQ(cards.size(), 1u);
  const auto& props = cards[0].properties;
  ASSERT_EQ(props.size(), 3u);
  EXPECT_EQ(cards[0].version, "4.0");

  EXPECT_EQ(props[0].group, "item1");
  EXPECT_EQ(props[0].name, "TEL");
  EXPECT_TRUE(props[0].HasType("WORK"));
  EXPECT_TRUE(props[0].HasType("VOICE"));
  ASSERT_NE(props[0].Parameter("PREF"), nullptr);
  EXPECT_EQ(props[0].Parameter("PREF")->values, std::vector<std::string>{"1"});
  EXPECT_EQ(props[0].value, "tel:1");

  // Quoted parameter values hide their ";" and ":" from the header.
  EXPECT_EQ(props[1].name, "ADR");
  EXPECT_EQ(props[1].Parameter("LABEL")->values, std::vector<std::string>{"a;b:c"});
  EXPECT_EQ(props[1].Parameter("GEO")->values, std::vector<std::string>{"geo:51.5,0.1"});
  EXPECT_EQ(props[1].value, ";;Street");

  // Bare 2.1 parameters are types or the encoding.
  EXPECT_TRUE(props[2].HasType("WORK"));
  EXPECT_FALSE(props[2].HasType("QUOTED-PRINTABLE"));
  EXPECT_EQ(props[2].Parameter("ENCODING")->values, std::vector<std::string>{"QUOTED-PRINTABLE"});
}

}  // namespace
}  // namespace fernkartei::contacts
