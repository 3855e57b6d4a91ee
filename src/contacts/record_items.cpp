#include "contacts/record_items.h"

#include <algorithm>
#include <cstdint>
#include <numeric>

#include "contacts/collation.h"
#include "support/failure.h"
#include "support/text.h"

namespace fernkartei::contacts {
namespace {

using support::ErrorNumber;
using support::Failure;

class RecordItem : public exporting::ContactItem {
 public:
  RecordItem(std::shared_ptr<const Records> records, std::size_t index)
      : records_(std::move(records)), index_(index) {}

  std::string Property(std::string_view name) override {
    const ContactRecord& record = (*records_)[index_];
    if (!record.is_contact()) throw Failure(ErrorNumber::PropertyNotSupported);
    const auto value = PropertyOf(record, name);
    if (!value) throw Failure(ErrorNumber::PropertyNotSupported);
    return std::string(*value);
  }

 private:
  std::shared_ptr<const Records> records_;
  std::size_t index_;
};

// The records stay where they were read; sorting only reorders indexes into them.
class RecordItems : public exporting::ContactItems {
 public:
  explicit RecordItems(std::shared_ptr<const Records> records) : records_(std::move(records)) {
    order_.resize(records_->size());
    std::iota(order_.begin(), order_.end(), std::uint32_t{0});
  }

  void Sort(std::string_view property, bool descending) override {
    std::string_view name = property;
    if (name.size() >= 2 && name.front() == '[' && name.back() == ']') name = name.substr(1, name.size() - 2);
    if (!PropertyOf(ContactRecord(), name)) throw Failure(ErrorNumber::PropertyNotSupported);

    if (!collation_) collation_ = MakeGermanCollation();
    // An item that is not a contact sorts as if its value were empty, as it has none.
    const auto make_keys = [&](std::vector<std::string>& keys) {
      keys.clear();
      keys.reserve(records_->size());
      for (const auto& r : *records_)
        keys.push_back(collation_->SortKey(r.is_contact() ? *PropertyOf(r, name) : ""));
    };
    // The run always sorts by last name: those keys are made once and kept.
    const bool by_last_name = support::EqualsIgnoringAsciiCase(name, "LastName");
    std::vector<std::string> other_keys;
    if (by_last_name && last_name_keys_.size() != records_->size()) make_keys(last_name_keys_);
    if (!by_last_name) make_keys(other_keys);
    const std::vector<std::string>& keys = by_last_name ? last_name_keys_ : other_keys;

    // Stable either way: items with equal values keep the order of the files.
    std::stable_sort(order_.begin(), order_.end(), [&](std::uint32_t a, std::uint32_t b) {
      return descending ? keys[b] < keys[a] : keys[a] < keys[b];
    });
    next_ = 0;
  }

  void Rewind() override { next_ = 0; }

  std::unique_ptr<exporting::ContactItem> Next() override {
    if (next_ >= order_.size()) return nullptr;
    return std::make_unique<RecordItem>(records_, order_[next_++]);
  }

 private:
  std::shared_ptr<const Records> records_;
  std::vector<std::uint32_t> order_;
  std::vector<std::string> last_name_keys_;  // by record index
  std::size_t next_ = 0;
  std::unique_ptr<Collation> collation_;
};

}  // namespace

std::unique_ptr<exporting::ContactItems> MakeRecordItems(std::shared_ptr<const Records> records) {
  return std::make_unique<RecordItems>(std::move(records));
}

}  // namespace fernkartei::contacts
