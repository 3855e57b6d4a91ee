// Huge broken cards: whatever they hold, the reader neither crashes nor loses the cards around them, and
// what it returns is well-formed UTF-8. Smaller damage is in golden/damaged-*.vcf.

#include <gtest/gtest.h>

#include "contacts/contact_record.h"
#include "contacts/vcard_parser.h"
#include "fixtures/card.h"
#include "support/text.h"

namespace fernkartei::contacts {
namespace {

std::string Card(const std::string& body) {
  return testing::Card("3.0", body);
}

TEST(BadInput, AHugeDamagedCardNeverCostsItsNeighbours) {
  const std::string ten_mb(10 * 1024 * 1024, 'x');
  std::string parameters = "TEL";
  for (int i = 0; i < 5000; ++i) parameters += ";P" + std::to_string(i) + "=" + std::to_string(i);
  const std::pair<const char*, std::string> cases[] = {
      {"ten megabyte line", Card("NOTE:" + ten_mb + "\r\nN:Lang;L\r\n")},
      {"ten megabyte name", Card("N:" + ten_mb + "\r\n")},
      {"ten megabyte line without colon", Card(ten_mb + "\r\n")},
      {"ten megabyte quoted-printable soft breaks",
       Card("N;ENCODING=QUOTED-PRINTABLE:" + std::string(5 * 1024 * 1024, '=') + "\r\n")},
      {"ten megabyte header", Card("TEL" + std::string(10 * 1024 * 1024, ';') + ":1\r\n")},
      {"thousands of parameters", Card(parameters + ";TYPE=CELL:1\r\n")},
  };
  for (const auto& [what, damaged] : cases) {
    SCOPED_TRACE(what);
    std::vector<std::string> names;
    const auto problems = ParseVCards(Card("N:Vorher;A\r\n") + damaged + Card("N:Nachher;B\r\n"),
                                      &IsContactProperty, [&](VCard& card) {
                                        const ContactRecord r = ToContactRecord(card);
                                        for (std::size_t i = 0; i < kContactFieldCount; ++i)
                                          EXPECT_TRUE(support::IsValidUtf8(r.Field(i)));
                                        names.emplace_back(r.last_name_and_first_name());
                                      });
    ASSERT_GE(names.size(), 2u);
    EXPECT_EQ(names.front(), "Vorher, A");
    EXPECT_EQ(names.back(), "Nachher, B");
    for (const auto& p : problems) EXPECT_TRUE(support::IsValidUtf8(p));
  }
}

}  // namespace
}  // namespace fernkartei::contacts
