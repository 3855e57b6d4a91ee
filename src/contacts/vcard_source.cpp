#include "contacts/vcard_source.h"

#include <algorithm>
#include <filesystem>
#include <numeric>

#include "contacts/collation.h"
#include "contacts/contact_record.h"
#include "contacts/vcard_folder.h"
#include "support/failure.h"
#include "support/text.h"

namespace fernkartei::contacts {
namespace fs = std::filesystem;

struct DiagnosticLog {
  DiagnosticSink sink;
  std::vector<std::string> entries;

  void Add(const exporting::SourceNote& note) {
    entries.push_back(note.text);
    if (sink) sink(note);
  }
};

namespace {

using support::ErrorNumber;
using support::Failure;

// Outlook's number of its contacts folder.
constexpr std::string_view kContactsFolderNumber = "10";
constexpr std::string_view kContactsFolderName = "Kontakte";

using Records = std::vector<ContactRecord>;

class VCardItem : public exporting::ContactItem {
 public:
  VCardItem(std::shared_ptr<const Records> records, std::size_t index)
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
class VCardItems : public exporting::ContactItems {
 public:
  explicit VCardItems(std::shared_ptr<const Records> records) : records_(std::move(records)) {
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
    return std::make_unique<VCardItem>(records_, order_[next_++]);
  }

 private:
  std::shared_ptr<const Records> records_;
  std::vector<std::uint32_t> order_;
  std::vector<std::string> last_name_keys_;  // by record index
  std::size_t next_ = 0;
  std::unique_ptr<Collation> collation_;
};

class VCardFolder : public exporting::ContactFolder {
 public:
  VCardFolder(std::string path, std::shared_ptr<DiagnosticLog> log)
      : path_(std::move(path)), log_(std::move(log)) {}

  std::string DefaultProperty() override { return path_; }

  int DefaultItemType() override {
    const fs::path p = PathFromUtf8(path_);
    std::error_code ec;
    const bool holds_cards = fs::is_directory(p, ec) ? !VCardFilesIn(p).empty()
                                                     : (fs::is_regular_file(p, ec) && IsVCardFileName(p));
    // 0 is Outlook's mail folder: anything that is not a contacts folder.
    return holds_cards ? exporting::kContactItemType : 0;
  }

  std::unique_ptr<exporting::ContactItems> Items() override {
    const fs::path p = PathFromUtf8(path_);
    std::error_code ec;
    if (!fs::exists(p, ec)) throw Failure(ErrorNumber::PathNotFound);
    auto log = log_;
    auto records = std::make_shared<const Records>(
        ReadContacts(p, [log](const exporting::SourceNote& note) { log->Add(note); }));
    return std::make_unique<VCardItems>(std::move(records));
  }

 private:
  std::string path_;
  std::shared_ptr<DiagnosticLog> log_;
};

class VCardNamespace : public exporting::ContactNamespace {
 public:
  VCardNamespace(std::string program_folder, FolderPicker pick, std::shared_ptr<DiagnosticLog> log)
      : program_folder_(std::move(program_folder)), pick_(std::move(pick)), log_(std::move(log)) {}

  std::unique_ptr<exporting::ContactFolder> GetDefaultFolder(const std::string& folder) override {
    std::string path = folder;
    if (support::Trim(folder) == kContactsFolderNumber) {
      path = Utf8FromPath(PathFromUtf8(program_folder_) / PathFromUtf8(std::string(kContactsFolderName)));
    }
    std::error_code ec;
    const fs::path p = PathFromUtf8(path);
    if (path.empty() || !(fs::is_directory(p, ec) || fs::is_regular_file(p, ec))) {
      throw Failure(ErrorNumber::PathNotFound);
    }
    return std::make_unique<VCardFolder>(path, log_);
  }

  std::unique_ptr<exporting::ContactFolder> PickFolder() override {
    if (!pick_) return nullptr;
    const auto picked = pick_();
    if (!picked || picked->empty()) return nullptr;  // an empty choice is no choice
    return std::make_unique<VCardFolder>(*picked, log_);
  }

 private:
  std::string program_folder_;
  FolderPicker pick_;
  std::shared_ptr<DiagnosticLog> log_;
};

class VCardApplication : public exporting::ContactApplication {
 public:
  VCardApplication(std::string program_folder, FolderPicker pick, std::shared_ptr<DiagnosticLog> log)
      : program_folder_(std::move(program_folder)), pick_(std::move(pick)), log_(std::move(log)) {}

  std::unique_ptr<exporting::ContactNamespace> GetNamespace(const std::string& type) override {
    if (!support::EqualsIgnoringAsciiCase(type, "MAPI")) throw Failure(ErrorNumber::InvalidProcedureCall);
    return std::make_unique<VCardNamespace>(program_folder_, pick_, log_);
  }

 private:
  std::string program_folder_;
  FolderPicker pick_;
  std::shared_ptr<DiagnosticLog> log_;
};

}  // namespace

VCardSource::VCardSource(std::string program_folder, FolderPicker pick_folder, DiagnosticSink on_diagnostic)
    : program_folder_(std::move(program_folder)),
      pick_folder_(std::move(pick_folder)),
      diagnostics_(std::make_shared<DiagnosticLog>()) {
  diagnostics_->sink = std::move(on_diagnostic);
}

std::unique_ptr<exporting::ContactApplication> VCardSource::CreateApplication() {
  return std::make_unique<VCardApplication>(program_folder_, pick_folder_, diagnostics_);
}

std::vector<std::string> VCardSource::Diagnostics() const {
  return diagnostics_->entries;
}

}  // namespace fernkartei::contacts
