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

  void Add(const std::string& text) {
    entries.push_back(text);
    if (sink) sink(text);
  }
};

namespace {

using support::ErrorNumber;
using support::Failure;

// Outlook's number of its contacts folder.
constexpr std::string_view kContactsFolderNumber = "10";
constexpr std::string_view kContactsFolderName = "Kontakte";

struct Entry {
  ContactRecord record;
  std::string last_name_key;  // made on the first sort by last name, then kept
  bool has_last_name_key = false;
};
using Entries = std::vector<std::shared_ptr<Entry>>;

class VCardItem : public exporting::ContactItem {
 public:
  explicit VCardItem(std::shared_ptr<const Entry> entry) : entry_(std::move(entry)) {}

  std::string Property(std::string_view name) override {
    if (!entry_->record.is_contact) throw Failure(ErrorNumber::PropertyNotSupported);
    auto value = PropertyOf(entry_->record, name);
    if (!value) throw Failure(ErrorNumber::PropertyNotSupported);
    return std::move(*value);
  }

 private:
  std::shared_ptr<const Entry> entry_;
};

class VCardItems : public exporting::ContactItems {
 public:
  explicit VCardItems(Entries entries) : entries_(std::move(entries)) {}

  void Sort(std::string_view property, bool descending) override {
    std::string_view name = property;
    if (name.size() >= 2 && name.front() == '[' && name.back() == ']') name = name.substr(1, name.size() - 2);
    // An item that is not a contact sorts as if its value were empty, as it has none.
    static const ContactRecord kProbe{};
    if (!PropertyOf(kProbe, name)) throw Failure(ErrorNumber::PropertyNotSupported);

    if (!collation_) collation_ = MakeGermanCollation();
    const bool by_last_name = support::EqualsIgnoringAsciiCase(name, "LastName");
    std::vector<std::string> other_keys;
    if (by_last_name) {
      for (auto& e : entries_) {
        if (!e->has_last_name_key) {
          e->last_name_key = collation_->SortKey(e->record.is_contact ? e->record.last_name : std::string());
          e->has_last_name_key = true;
        }
      }
    } else {
      other_keys.reserve(entries_.size());
      for (const auto& e : entries_) {
        other_keys.push_back(collation_->SortKey(e->record.is_contact ? *PropertyOf(e->record, name) : ""));
      }
    }
    std::vector<std::size_t> order(entries_.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    const auto key = [&](std::size_t i) -> const std::string& {
      return by_last_name ? entries_[i]->last_name_key : other_keys[i];
    };
    // Stable either way: items with equal values keep the order of the files.
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
      return descending ? key(b) < key(a) : key(a) < key(b);
    });
    Entries sorted;
    sorted.reserve(entries_.size());
    for (const std::size_t i : order) sorted.push_back(std::move(entries_[i]));
    entries_ = std::move(sorted);
    next_ = 0;
  }

  void Rewind() override { next_ = 0; }

  std::unique_ptr<exporting::ContactItem> Next() override {
    if (next_ >= entries_.size()) return nullptr;
    return std::make_unique<VCardItem>(entries_[next_++]);
  }

 private:
  Entries entries_;
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
    auto records = ReadContacts(p, [log](const std::string& text) { log->Add(text); });
    Entries entries;
    entries.reserve(records.size());
    for (auto& r : records) {
      auto e = std::make_shared<Entry>();
      e->record = std::move(r);
      entries.push_back(std::move(e));
    }
    return std::make_unique<VCardItems>(std::move(entries));
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
    if (!picked) return nullptr;
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
