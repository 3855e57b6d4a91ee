// German collation: umlauts sort with their base letters, letter case never decides before the letters.

#include "contacts/collation.h"

#include <gtest/gtest.h>

namespace fernkartei::contacts {
namespace {

TEST(GermanCollation, OrdersAsAGermanReaderExpects) {
  const auto collation = MakeGermanCollation();
  const std::pair<const char*, const char*> pairs[] = {
      {"Ärger", "Bauer"},  // umlaut with its base letter, not after "z"
      {"Öztürk", "Pohl"},
      {"Übel", "Vogel"},
      {"apfel", "Birne"},  // case does not decide before the
                           // letters
      {"Birne", "citrus"},
      {"bäcker", "Bauer"},   // the umlaut is not a letter of its own
      {"Muller", "Müller"},  // ... but decides between otherwise equal names
      {"Mueller", "Müller"},
      {"Müller", "Mullerin"},
      {"", "A"},
      {"Zander", "Zorn"},
      {"Straße", "Strauch"},
  };
  for (const auto& [before, after] : pairs)
    EXPECT_LT(collation->SortKey(before), collation->SortKey(after)) << before << " / " << after;
  EXPECT_EQ(collation->SortKey("Meier"), collation->SortKey("Meier"));
}

}  // namespace
}  // namespace fernkartei::contacts
