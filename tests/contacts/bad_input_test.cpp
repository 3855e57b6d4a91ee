// Huge broken cards: whatever they hold, the reader neither crashes nor loses the cards around them, and
// what it returns is well-formed UTF-8. Smaller damage is in golden/damaged-*.vcf.

#include <gtest/gtest.h>

#include "contacts/contact_record.h"
#include "contacts/vcard_parser.h"
#include "fixtures/card.h"
#include "support/text.h"

namespace fernkartei::contacts {
namespace {

using testing::Card;

TEST(BadInput, AHugeDamagedCardNeverCostsItsNeighbours) {
  const std::string ten_mb(10 << 20, 'x');
  std::string parameters = "TEL";
  for (int i = 0; i < 5000; ++i) parameters += ";P" + std::to_string(i) + "=" + std::to_string(i);
  for (const std::string& damaged : {
           "NOTE:" + ten_mb + "\r\nN:Lang;L\r\n",
           "N:" + ten_mb + "\r\n",
           ten_mb + "\r\n",
           "N;ENCODING=QUOTED-PRINTABLE:" + std::string(5 << 20, '=') + "\r\n",
           "TEL" + std::string(10 << 20, ';') + ":1\r\n",
           parameters + ";TYPE=CELL:1\r\n",
       }) {
    std::vector<std::string> names;
    const auto problems =
        ParseVCards(Card("3.0", "N:Vorher;A\r\n") + Card("3.0", damaged) + Card("3.0", "N:Nachher;B\r\n"),
                    &IsContactProperty, [&](VCard& card) {
                      const ContactRecord r = ToContactRecord(card);
                      for (std::size_t i = 0; i < kContactFieldCount; ++i)
                        EXPECT_TRUE(support::IsValidUtf8(r.Field(i)));
                      names.emplace_back(r.last_name_and_first_name());
                    });
    ASSERT_GE(names.size(), 2u);
    EXPECT_EQ(names.front() + " | " + names.back(), "Vorher, A | Nachher, B") << damaged.substr(0, 40);
    for (const auto& p : problems) EXPECT_TRUE(support::IsValidUtf8(p));
  }
}

}  // namespace
}  // namespace fernkartei::contacts
