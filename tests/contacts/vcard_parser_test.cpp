// The reader's view of a file: lines, folds, parameters, and where cards begin and end.

#include "contacts/vcard_parser.h"

#include <gtest/gtest.h>

#include "card_helpers.h"

namespace fernkartei::contacts {
namespace {

using testing::Card;

std::string WithLineEnds(const std::string& lf_text, const std::string& end) {
  std::string out;
  for (const char c : lf_text) {
    if (c == '\n') {
      out += end;
    } else {
      out += c;
    }
  }
  return out;
}

TEST(VCardReader, EveryLineEndGivesTheSameCards) {
  const std::string lf =
      "BEGIN:VCARD\nVERSION:3.0\nN:Muster;Max\nTEL;TYPE=WORK:030\n 1234\nEND:VCARD\n"
      "BEGIN:VCARD\nVERSION:2.1\nN;ENCODING=QUOTED-PRINTABLE:Mei=\ner;Eva\nEND:VCARD\n";
  std::string mixed = WithLineEnds(lf, "\r\n");
  mixed.replace(mixed.find("\r\nEND"), 2, "\n");  // one line of the first card ends in LF alone
  for (const std::string& text : {lf, WithLineEnds(lf, "\r\n"), WithLineEnds(lf, "\r"), mixed}) {
    const VCardFile file = ParseVCards(text);
    ASSERT_EQ(file.cards.size(), 2u);
    const auto first = ToContactRecord(file.cards[0]);
    const auto second = ToContactRecord(file.cards[1]);
    EXPECT_EQ(first.last_name_and_first_name(), "Muster, Max");
    EXPECT_EQ(testing::Telephone(first, TelephoneSlot::Business), "0301234");
    EXPECT_EQ(second.last_name_and_first_name(), "Meier, Eva");
    EXPECT_TRUE(file.problems.empty());
  }
}

TEST(VCardReader, SplitsHeaderIntoGroupNameAndParameters) {
  const VCardFile file = ParseVCards(Card("4.0",
                                          "item1.tel;Type=\"work,VOICE\";pref=1;VALUE=uri:tel:1\r\n"
                                          "ADR;GEO=\"geo:51.5,0.1\";LABEL=\"a;b:c\":;;Street\r\n"
                                          "TEL;WORK;VOICE;ENCODING=QUOTED-PRINTABLE:2\r\n"));
  ASSERT_EQ(file.cards.size(), 1u);
  const auto& props = file.cards[0].properties;
  ASSERT_EQ(props.size(), 3u);
  EXPECT_EQ(file.cards[0].version, "4.0");

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
  EXPECT_TRUE(props[2].HasType("VOICE"));
  EXPECT_FALSE(props[2].HasType("QUOTED-PRINTABLE"));
  EXPECT_EQ(props[2].Parameter("ENCODING")->values, std::vector<std::string>{"QUOTED-PRINTABLE"});
}

TEST(VCardReader, FilterKeepsOnlyWhatIsAskedFor) {
  const VCardFile file = ParseVCards(Card("3.0", "N:A;B\r\nNOTE:long\r\nTEL:1\r\n"),
                                     [](std::string_view name) { return name == "TEL"; });
  ASSERT_EQ(file.cards.size(), 1u);
  ASSERT_EQ(file.cards[0].properties.size(), 1u);
  EXPECT_EQ(file.cards[0].properties[0].name, "TEL");
  EXPECT_EQ(file.cards[0].version, "3.0");  // the version is always read
}

struct StructureCase {
  const char* what;
  std::string text;
  std::vector<std::string> names;  // LastNameAndFirstName of each card, in order
  std::size_t problems;
};

const StructureCase kStructureCases[] = {
    {"several cards",
     Card("2.1", "N:A;1\r\n") + Card("2.1", "N:B;2\r\n") + Card("2.1", "N:C;3\r\n"),
     {"A, 1", "B, 2", "C, 3"},
     0},
    {"lower-case delimiters and blanks", "begin:vcard\r\nN:A;1\r\nend: VCARD \r\n", {"A, 1"}, 0},
    {"text between cards",
     "Adressbuch\r\n" + Card("3.0", "N:A;1\r\n") + "\r\n\r\nmore text\r\n",
     {"A, 1"},
     0},
    {"missing END before the next card",
     "BEGIN:VCARD\r\nN:A;1\r\nBEGIN:VCARD\r\nN:B;2\r\nEND:VCARD\r\n" + Card("3.0", "N:C;3\r\n"),
     {"A, 1", "B, 2", "C, 3"},
     1},
    {"missing END at the end of the file",
     Card("3.0", "N:A;1\r\n") + "BEGIN:VCARD\r\nN:B;2\r\nTEL:1",
     {"A, 1", "B, 2"},
     1},
    {"agent card nested after AGENT",
     "BEGIN:VCARD\r\nVERSION:2.1\r\nN:Boss;A\r\nAGENT:\r\nBEGIN:VCARD\r\nVERSION:2.1\r\nN:Agent;B\r\n"
     "TEL:9\r\nEND:VCARD\r\nTEL;WORK:1\r\nEND:VCARD\r\n" +
         Card("2.1", "N:Next;C\r\n"),
     {"Boss, A", "Next, C"},
     0},
    {"agent card begun in the value",
     "BEGIN:VCARD\r\nN:Boss;A\r\nAGENT:BEGIN:VCARD\r\nN:Agent;B\r\nEND:VCARD\r\nEND:VCARD\r\n",
     {"Boss, A"},
     0},
    {"agent card escaped in the value",
     Card("3.0", "N:Boss;A\r\nAGENT:BEGIN:VCARD\\nFN:Agent\\nTEL:9\\nEND:VCARD\r\nTEL;TYPE=HOME:1\r\n") +
         Card("3.0", "N:Next;C\r\n"),
     {"Boss, A", "Next, C"},
     0},
    {"nested card without AGENT",
     "BEGIN:VCARD\r\nN:Outer;A\r\nBEGIN:VCARD\r\nN:Inner;B\r\nEND:VCARD\r\nEND:VCARD\r\n",
     {"Outer, A"},
     0},
    {"END without BEGIN", "END:VCARD\r\n" + Card("3.0", "N:A;1\r\n"), {"A, 1"}, 1},
    {"only BEGIN", "BEGIN:VCARD", {}, 1},
    {"deep nesting never closed",
     "BEGIN:VCARD\r\nBEGIN:VCARD\r\nBEGIN:VCARD\r\nN:Tief;T\r\nEND:VCARD\r\n",
     {"Tief, T"},
     1},
    {"empty file", "", {}, 0},
    {"garbage lines in a card",
     Card("3.0", "N:A;1\r\n\x01\x02garbage without colon\r\n;;;\r\nTEL:1\r\n"),
     {"A, 1"},
     1},
    {"unterminated quoted-printable before END",
     Card("2.1", "N;ENCODING=QUOTED-PRINTABLE:A=\r\n") + Card("2.1", "N:B;2\r\n"),
     {"A", "B, 2"},
     0},
    {"unterminated quoted-printable at the end",
     "BEGIN:VCARD\r\nN;ENCODING=QUOTED-PRINTABLE:A;1=",
     {"A, 1"},
     1},
    {"base64 block of 2.1 without indentation",
     Card("2.1",
          "N:A;1\r\nPHOTO;ENCODING=BASE64;TYPE=JPEG:\r\n/9j/4AAQSkZJRgABAQ\r\nEAYABgAAD+/==\r\n\r\n"
          "TEL;HOME:5\r\n"),
     {"A, 1"},
     0},
    {"base64 block of 3.0 folded",
     Card("3.0", "PHOTO;ENCODING=b;TYPE=JPEG:/9j/4AAQ\r\n SkZJRg\r\nN:A;1\r\n"),
     {"A, 1"},
     0},
    {"base64 N is no name", Card("3.0", "N;ENCODING=b:QUJD\r\nFN:Name\r\n"), {"Name"}, 0},
};

TEST(VCardReader, FindsEveryCardItCan) {
  for (const auto& c : kStructureCases) {
    SCOPED_TRACE(c.what);
    const VCardFile file = ParseVCards(c.text);
    std::vector<std::string> names;
    for (const auto& card : file.cards) names.emplace_back(ToContactRecord(card).last_name_and_first_name());
    EXPECT_EQ(names, c.names);
    EXPECT_EQ(file.problems.size(), c.problems);
  }
}

TEST(VCardReader, NumbersAfterABase64BlockAndAnAgentStayWithTheirCard) {
  const VCardFile file =
      ParseVCards(Card("2.1",
                       "N:A;1\r\nPHOTO;ENCODING=BASE64;TYPE=JPEG:\r\n/9j/4AAQSkZJRgABAQ\r\n\r\nTEL;HOME:5\r\n"
                       "AGENT:\r\nBEGIN:VCARD\r\nTEL;HOME:6\r\nEND:VCARD\r\nTEL;HOME:7\r\n"));
  ASSERT_EQ(file.cards.size(), 1u);
  const auto r = ToContactRecord(file.cards[0]);
  EXPECT_EQ(testing::Telephone(r, TelephoneSlot::Home), "5");
  EXPECT_EQ(testing::Telephone(r, TelephoneSlot::Home2), "7");
}

TEST(VCardReader, ProblemsNameTheirLine) {
  const VCardFile file = ParseVCards(Card("3.0", "N:A;1\r\n") + "BEGIN:VCARD\r\nN:B;2\r\n");
  ASSERT_EQ(file.problems.size(), 1u);
  EXPECT_NE(file.problems[0].find("Zeile 5"), std::string::npos) << file.problems[0];
  EXPECT_NE(file.problems[0].find("END:VCARD"), std::string::npos) << file.problems[0];
}

}  // namespace
}  // namespace fernkartei::contacts
