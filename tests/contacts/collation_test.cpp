// German collation: umlauts sort with their base letters, letter case never decides before the letters.

#include "contacts/collation.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace fernkartei::contacts {
namespace {

TEST(GermanCollation, OrdersAsAGermanReaderExpects) {
  const auto collation = MakeGermanCollation();
  struct Pair {
    const char* before;
    const char* after;
  };
  const Pair pairs[] = {
      {"Ärger", "Bauer"},  // umlaut with its base letter, not after "z"
      {"Öztürk", "Pohl"},
      {"Übel", "Vogel"},
      {"apfel", "Birne"},  // case does not decide before the
                           // letters
      {"Birne", "citrus"},
      {"bäcker", "Bauer"},   // the umlaut is not a letter of its own
      {"Muller", "Müller"},  // ... but decides between otherwise equal names
      {"Müller", "Mullerin"},
      {"", "A"},
      {"Zander", "Zorn"},
      {"Straße", "Strauch"},
  };
  for (const auto& p : pairs) {
    EXPECT_LT(collation->SortKey(p.before), collation->SortKey(p.after)) << p.before << " / " << p.after;
  }
  EXPECT_EQ(collation->SortKey("Meier"), collation->SortKey("Meier"));
}

TEST(GermanCollation, SortsAListOfNames) {
  const auto collation = MakeGermanCollation();
  std::vector<std::string> names = {"Zimmermann", "östlich", "Bauer", "Ärger", "abel", "Müller", "Mueller"};
  std::sort(names.begin(), names.end(), [&](const std::string& a, const std::string& b) {
    return collation->SortKey(a) < collation->SortKey(b);
  });
  EXPECT_EQ(names, (std::vector<std::string>{"abel", "Ärger", "Bauer", "Mueller", "Müller", "östlich",
                                             "Zimmermann"}));
}

}  // namespace
}  // namespace fernkartei::contacts
