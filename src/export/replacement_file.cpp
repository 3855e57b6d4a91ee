#include "export/replacement_file.h"

#include <filesystem>
#include <random>
#include <system_error>

#include "support/failure.h"
#include "support/platform_files.h"

namespace fernkartei::exporting {
namespace fs = std::filesystem;
namespace {

// ".nfon.csv.1a2b3c4d.tmp" in the target's folder: the same file system, so the final rename cannot
// fail half-way; the leading dot keeps it out of File_Exist and out of a casual directory listing.
std::string TemporaryNameFor(const std::string& target, std::mt19937& random) {
  const fs::path path(target);
  static constexpr char kHex[] = "0123456789abcdef";
  std::string suffix;
  for (int i = 0; i < 8; ++i) suffix += kHex[random() & 0xF];
  const std::string name = "." + path.filename().string() + "." + suffix + ".tmp";
  return (path.parent_path() / name).string();
}

std::unique_ptr<support::Utf8File> CreateTemporary(const std::string& target, std::string& temporary_path) {
  std::mt19937 random(std::random_device{}());
  for (int attempt = 0; attempt < 16; ++attempt) {
    temporary_path = TemporaryNameFor(target, random);
    if (auto file = support::CreateNewUtf8File(temporary_path)) return file;
  }
  temporary_path.clear();
  throw support::Failure(support::ErrorNumber::PathFileAccessError);
}

}  // namespace

ReplacementFile::ReplacementFile(std::string target) : target_(std::move(target)) {}

ReplacementFile::~ReplacementFile() {
  Discard();
}

bool ReplacementFile::CanReplace(const std::string& target) {
  std::error_code error;
  // A write-protected old file is no obstacle: the old program cleared its read-only flag and deleted
  // it. What stops a replacement is a folder in its place or a folder that takes no new file.
  if (fs::is_directory(target, error)) return false;
  try {
    ReplacementFile probe(target);
    probe.Open();
    return true;
  } catch (const support::Failure&) {
    return false;
  }
}

support::Utf8File& ReplacementFile::Open() {
  Discard();
  file_ = CreateTemporary(target_, temporary_path_);
  return *file_;
}

void ReplacementFile::Commit() {
  if (!file_) throw support::Failure(support::ErrorNumber::BadFileNameOrNumber);
  try {
    file_->Close();
    std::error_code error;
    // The new phonebook keeps the access rights the user gave the old one, less a write protection,
    // which the replaced file lost too.
    if (const auto old = fs::status(target_, error); !error && fs::exists(old)) {
      fs::permissions(temporary_path_, old.permissions() | fs::perms::owner_write, error);
    }
    error.clear();
    fs::rename(temporary_path_, target_, error);
    if (error) support::ThrowFileFailure(error.value());
  } catch (...) {
    Discard();
    throw;
  }
  file_.reset();
  temporary_path_.clear();
}

void ReplacementFile::Discard() {
  file_.reset();  // closes without caring about errors: the bytes are thrown away anyway
  if (!temporary_path_.empty()) {
    std::error_code ignored;
    fs::remove(temporary_path_, ignored);
    temporary_path_.clear();
  }
}

}  // namespace fernkartei::exporting
