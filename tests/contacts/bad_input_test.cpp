// Broken files: whatever they hold, the reader neither crashes nor loses the cards around the damage,
// and what it returns is well-formed UTF-8.

#include <gtest/gtest.h>

#include <random>

#include "card_helpers.h"
#include "contacts/vcard_text.h"
#include "support/text.h"

namespace fernkartei::contacts {
namespace {

using testing::Card;

void ExpectWellFormed(const VCardFile& file) {
  for (const auto& card : file.cards) {
    const ContactRecord r = ToContactRecord(card);
    EXPECT_TRUE(support::IsValidUtf8(r.last_name_and_first_name()));
    EXPECT_TRUE(support::IsValidUtf8(r.first_name()));
    EXPECT_TRUE(support::IsValidUtf8(r.last_name()));
    EXPECT_TRUE(support::IsValidUtf8(r.full_name()));
    for (std::size_t i = 0; i < kContactFieldCount; ++i) EXPECT_TRUE(support::IsValidUtf8(r.Field(i)));
  }
  for (const auto& p : file.problems) EXPECT_TRUE(support::IsValidUtf8(p));
}

struct DamageCase {
  const char* what;
  std::string damaged_card;
};

TEST(BadInput, DamagedCardNeverCostsItsNeighbours) {
  const std::string ten_mb(10 * 1024 * 1024, 'x');
  const DamageCase cases[] = {
      {"ten megabyte line", Card("3.0", "NOTE:" + ten_mb + "\r\nN:Lang;L\r\n")},
      {"ten megabyte name", Card("3.0", "N:" + ten_mb + "\r\n")},
      {"ten megabyte line without colon", Card("3.0", ten_mb + "\r\n")},
      {"ten megabyte quoted-printable soft breaks",
       Card("2.1", "N;ENCODING=QUOTED-PRINTABLE:" + std::string(5 * 1024 * 1024, '=') + "\r\n")},
      {"binary bytes",
       Card("3.0", std::string("N:\x00\xFF\xFE\x01;\x80\r\n\x00\x00\r\nTEL:\xC0\xAF\r\n", 20))},
      {"invalid UTF-8 declared UTF-8", Card("4.0", "N;CHARSET=UTF-8:\xED\xA0\x80;\xF8\x88\x80\x80\x80\r\n")},
      {"unterminated quote in parameters", Card("3.0", "TEL;TYPE=\"WORK:1\r\nN:Quote;Q\r\n")},
      {"ten megabyte header", Card("3.0", "TEL" + std::string(10 * 1024 * 1024, ';') + ":1\r\n")},
      {"thousands of parameters", Card("3.0",
                                       [] {
                                         std::string line = "TEL";
                                         for (int i = 0; i < 5000; ++i)
                                           line += ";P" + std::to_string(i) + "=" + std::to_string(i);
                                         return line + ";TYPE=CELL:1\r\n";
                                       }())},
      {"header only", Card("3.0", ":\r\n;:\r\n.:\r\n;;;;:;\r\nTEL;=;=:\r\n")},
      {"no END", "BEGIN:VCARD\r\nN:Ohne;Ende\r\n"},
      {"unterminated quoted-printable", "BEGIN:VCARD\r\nN;ENCODING=QUOTED-PRINTABLE:=C3=\r\n"},
      {"stray backslashes", Card("3.0", "N:\\\r\nFN:\\\\\\\r\nTEL:\\\r\n")},
      {"deep nesting", "BEGIN:VCARD\r\nBEGIN:VCARD\r\nBEGIN:VCARD\r\nBEGIN:VCARD\r\nEND:VCARD\r\n"},
      {"lone CR line ends", "BEGIN:VCARD\rN:Nur;CR\rTEL:\xFF\rEND:VCARD\r"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string text = Card("3.0", "N:Vorher;A\r\nTEL;TYPE=CELL:1\r\n") +
                             NormalizeFileBytes(c.damaged_card) +
                             Card("2.1", "N:Nachher;B\r\nTEL;HOME:2\r\n");
    const VCardFile file = ParseVCards(text);
    ASSERT_GE(file.cards.size(), 2u);
    const auto first = ToContactRecord(file.cards.front());
    EXPECT_EQ(first.last_name_and_first_name(), "Vorher, A");
    EXPECT_EQ(testing::Telephone(first, TelephoneSlot::Mobile), "1");
    bool after_found = false;
    for (const auto& card : file.cards) {
      const auto r = ToContactRecord(card);
      if (r.last_name_and_first_name() == "Nachher, B" && testing::Telephone(r, TelephoneSlot::Home) == "2") {
        after_found = true;
      }
    }
    EXPECT_TRUE(after_found);
    ExpectWellFormed(file);
  }
}

// A cheap, deterministic cousin of the fuzz target that runs with every test: mutated copies of a
// card that uses every feature of the reader.
TEST(BadInput, MutatedCardsStayWellFormed) {
  const std::string seed =
      Card("2.1",
           "N;CHARSET=ISO-8859-15;ENCODING=QUOTED-PRINTABLE:M=FCller=\r\n=A4;Hans\r\n"
           "TEL;WORK;VOICE:030 1\r\nitem1.TEL:2\r\nX-MS-TEL;TYPE=COMPANY:3\r\n"
           "PHOTO;ENCODING=BASE64:\r\n/9j/4AAQ\r\n\r\nAGENT:\r\nBEGIN:VCARD\r\nEND:VCARD\r\n") +
      Card("4.0", "FN:Eva\r\n Meier\r\nTEL;VALUE=uri;TYPE=\"home,voice\";PREF=1:tel:+49-1\r\nKIND:group\r\n");
  std::mt19937 random(20261207);
  for (int round = 0; round < 3000; ++round) {
    std::string text = seed;
    const int edits = 1 + static_cast<int>(random() % 8);
    for (int e = 0; e < edits && !text.empty(); ++e) {
      const std::size_t at = random() % text.size();
      switch (random() % 4) {
        case 0:
          text[at] = static_cast<char>(random() % 256);
          break;
        case 1:
          text.erase(at, 1 + random() % 16);
          break;
        case 2:
          text.insert(at, 1, "\r\n=;:\\\" \t,."[random() % 11]);
          break;
        default:
          text.insert(at, text.substr(random() % text.size(), random() % 32));
          break;
      }
    }
    const VCardFile file = ParseVCards(NormalizeFileBytes(text));
    ExpectWellFormed(file);
    if (HasFailure()) {
      ADD_FAILURE() << "round " << round;
      return;
    }
  }
}

}  // namespace
}  // namespace fernkartei::contacts
