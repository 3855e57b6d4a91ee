#include "contacts/vcard_source.h"

#include <filesystem>

#include "contacts/record_items.h"
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
    return MakeRecordItems(std::move(records));
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
