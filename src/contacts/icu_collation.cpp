// The German collation from ICU.
#include <unicode/coll.h>
#include <unicode/locid.h>
#include <unicode/unistr.h>

#include <vector>

#include "contacts/collation.h"

namespace fernkartei::contacts {
namespace {

class IcuCollation : public Collation {
 public:
  explicit IcuCollation(std::unique_ptr<icu::Collator> collator) : collator_(std::move(collator)) {}

  std::string SortKey(std::string_view utf8) const override {
    const icu::UnicodeString text =
        icu::UnicodeString::fromUTF8(icu::StringPiece(utf8.data(), static_cast<int32_t>(utf8.size())));
    std::string key(static_cast<std::size_t>(text.length()) * 4 + 16, '\0');
    int32_t needed =
        collator_->getSortKey(text, reinterpret_cast<uint8_t*>(key.data()), static_cast<int32_t>(key.size()));
    if (needed > static_cast<int32_t>(key.size())) {
      key.resize(static_cast<std::size_t>(needed));
      needed = collator_->getSortKey(text, reinterpret_cast<uint8_t*>(key.data()), needed);
    }
    // The key ends with a zero byte that adds nothing to the order.
    key.resize(needed > 0 ? static_cast<std::size_t>(needed - 1) : 0);
    return key;
  }

 private:
  std::unique_ptr<icu::Collator> collator_;
};

class CodePointCollation : public Collation {
 public:
  std::string SortKey(std::string_view utf8) const override { return std::string(utf8); }
};

}  // namespace

std::unique_ptr<Collation> MakeGermanCollation() {
  UErrorCode status = U_ZERO_ERROR;
  std::unique_ptr<icu::Collator> collator(icu::Collator::createInstance(icu::Locale::getGerman(), status));
  if (U_FAILURE(status) || !collator) return std::make_unique<CodePointCollation>();
  return std::make_unique<IcuCollation>(std::move(collator));
}

}  // namespace fernkartei::contacts
