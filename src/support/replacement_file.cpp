#include "support/replacement_file.h"

#include <filesystem>
#include <random>
#include <system_error>

#include "support/failure.h"
#include "support/file_helpers.h"

namespace fernkartei::support {
namespace {

// ".nfon.csv.1a2b3c4d.tmp" in the target's folder: the same file system, so the final step cannot fail
// half-way; the leading dot keeps it out of File_Exist and out of a casual directory listing.
std::string TemporaryNameFor(const std::string& target, std::mt19937& random) {
  const std::filesystem::path path = PathFromUtf8(target);
  static constexpr char kHex[] = "0123456789abcdef";
  std::string suffix;
  for (int i = 0; i < 8; ++i) suffix += kHex[random() & 0xF];
  const std::string name = "." + Utf8FromPath(path.filename()) + "." + suffix + ".tmp";
  return Utf8FromPath(path.parent_path() / PathFromUtf8(name));
}

}  // namespace

ReplacementFile::ReplacementFile(std::string target, FileSystem& files)
    : target_(std::move(target)), files_(files) {}

ReplacementFile::~ReplacementFile() {
  Discard();
}

bool ReplacementFile::CanReplace(const std::string& target, FileSystem& files) {
  std::error_code error;
  if (std::filesystem::is_directory(PathFromUtf8(target), error) || files.IsHeldOpen(target)) return false;
  try {
    ReplacementFile probe(target, files);
    probe.Open();
    return true;
  } catch (const Failure&) {
    return false;
  }
}

WritableFile& ReplacementFile::Open() {
  Discard();
  std::mt19937 random(std::random_device{}());
  for (int attempt = 0; attempt < 16; ++attempt) {
    temporary_path_ = TemporaryNameFor(target_, random);
    file_ = files_.CreateNew(temporary_path_);
    if (file_) return *file_;
  }
  temporary_path_.clear();
  throw Failure(ErrorNumber::PathFileAccessError);
}

void ReplacementFile::Commit() {
  if (!file_) throw Failure(ErrorNumber::BadFileNameOrNumber);
  try {
    file_->Flush();
    file_->Sync();
    file_->Close();
    try {
      files_.CopyAccessRights(target_, temporary_path_);
    } catch (const Failure&) {
      // The rights are a courtesy to the user; the new contents matter more.
    }
    files_.Replace(temporary_path_, target_);
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
    files_.Remove(temporary_path_);
    temporary_path_.clear();
  }
}

}  // namespace fernkartei::support
