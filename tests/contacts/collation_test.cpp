// German collation: umlauts sort with their base letters, letter case never decides before the letters.

#include "contacts/collation.h"

#include <gtest/gtest.h>

namespace fernkartei::contacts {
namespace {

TEST(GermanCollation, OrdersAsAGermanReaderExpects) {
  const auto collation = MakeGermanCollation();
  // Each before the next: an umlaut is no letter of its own and decides only between otherwise equal names.
  const char* order[] = {"",       "A",       "apfel",  "Ärger",  "bäcker",   "Bauer",  "Birne",
                         "citrus", "Mueller", "Muller", "Müller", "Mullerin", "Öztürk", "Pohl",
                         "Straße", "Strauch", "Übel",   "Vogel",  "Zander",   "Zorn"};
  for (std::size_t i = 1; i < std::size(order); ++i)
    EXPECT_LT(collation->SortKey(order[i - 1]), collation->SortKey(order[i]))
        << order[i - 1] << " / " << order[i];
  EXPECT_EQ(collation->SortKey("Meier"), collation->SortKey("Meier"));
}

}  // namespace
}  // namespace fernkartei::contacts
