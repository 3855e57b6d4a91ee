#pragma once
// Ordering names the way a German reader expects ("Ärger" before "Bauer", letter case deciding only
// between otherwise equal names). Behind this seam so that each platform can use its own collation
// service: ICU here, the system's sort keys on Windows.

#include <memory>
#include <string>
#include <string_view>

namespace fernkartei::contacts {

class Collation {
 public:
  virtual ~Collation() = default;
  // A byte string whose plain byte order (as std::string compares) is the collation order of the
  // UTF-8 texts it was made from. Computing keys once and comparing them is what makes sorting large
  // folders cheap.
  virtual std::string SortKey(std::string_view utf8) const = 0;
};

// German collation. Never fails: without a usable collation service the keys fall back to the texts'
// own bytes (code point order), which still sorts, if less kindly.
std::unique_ptr<Collation> MakeGermanCollation();

}  // namespace fernkartei::contacts
