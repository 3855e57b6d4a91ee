#include "support/replacement_file.h"

#include <filesystem>
#include <random>
#include <system_error>
#include <thread>

#include "support/failure.h"
#include "support/file_helpers.h"

namespace fernkartei::support {
namespace {

namespace fs = std::filesystem;

// ".fernkartei-1a2b3c4d.tmp" in the target's folder: the same file system, so the final step cannot fail
// half-way; short, so that a target name of 255 bytes still has room beside it; the leading dot keeps it
// out of File_Exist and out of a casual directory listing. One pattern, so that left-overs are known.
constexpr std::string_view kPrefix = ".fernkartei-";
constexpr std::string_view kTemporarySuffix = ".tmp";
constexpr std::size_t kRandomDigits = 8;
constexpr char kHex[] = "0123456789abcdef";

bool IsTemporaryName(std::string_view name) {
  if (name.size() != kPrefix.size() + kRandomDigits + kTemporarySuffix.size()) return false;
  if (!name.starts_with(kPrefix) || !name.ends_with(kTemporarySuffix)) return false;
  return name.substr(kPrefix.size(), kRandomDigits).find_first_not_of(kHex) == std::string_view::npos;
}

std::string Beside(const std::string& target, const std::string& name) {
  return Utf8FromPath(PathFromUtf8(target).parent_path() / PathFromUtf8(name));
}

std::string TemporaryNameFor(const std::string& target, std::mt19937& random) {
  std::string name(kPrefix);
  for (std::size_t i = 0; i < kRandomDigits; ++i) name += kHex[random() & 0xF];
  return Beside(target, name + std::string(kTemporarySuffix));
}

// ".fernkartei-<FNV-1a of the file name>.lock": one per target, as short as the temporary names.
std::string LockPathFor(const std::string& target) {
  std::uint64_t hash = 0xcbf29ce484222325ULL;
  for (const char c : Utf8FromPath(PathFromUtf8(target).filename())) {
    hash = (hash ^ static_cast<unsigned char>(c)) * 0x100000001b3ULL;
  }
  std::string name(kPrefix);
  for (int shift = 60; shift >= 0; shift -= 4) name += kHex[(hash >> shift) & 0xF];
  return Beside(target, name + ".lock");
}

}  // namespace

ReplacementFile::ReplacementFile(std::string target, FileSystem& files, std::chrono::milliseconds lock_wait)
    : target_(std::move(target)), files_(files), lock_wait_(lock_wait) {}

ReplacementFile::~ReplacementFile() {
  Discard();
}

void ReplacementFile::Prepare() {
  if (prepared_) return;
  target_ = files_.ResolveTarget(target_);
  // Windows: a program that shares nothing (an editor, a spreadsheet) keeps the file from being replaced.
  if (files_.IsHeldOpen(target_)) throw Failure(ErrorNumber::FileAlreadyOpen);
  const auto give_up = std::chrono::steady_clock::now() + lock_wait_;
  try {
    while (!(lock_ = files_.TryLock(LockPathFor(target_)))) {
      if (std::chrono::steady_clock::now() >= give_up) throw Failure(ErrorNumber::FileAlreadyOpen);
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
  } catch (const Failure& failure) {
    // No folder: nothing to lock or clean; creating the file will say so.
    if (failure.number() != static_cast<int>(ErrorNumber::PathNotFound)) throw;
  }
  if (lock_) RemoveAbandonedTemporaries();
  prepared_ = true;
}

void ReplacementFile::RemoveAbandonedTemporaries() {
  std::error_code error;
  for (fs::directory_iterator entry(PathFromUtf8(target_).parent_path() / ".", error), end;
       !error && entry != end; entry.increment(error)) {
    if (IsTemporaryName(Utf8FromPath(entry->path().filename())))
      files_.RemoveAbandoned(Utf8FromPath(entry->path()));
  }
}

WritableFile& ReplacementFile::Open() {
  Prepare();
  DropTemporary();
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
    file_->TakeAttributesOf(target_);
    file_->Sync();
    file_->Close();
    file_->ReplaceTarget(target_);
  } catch (...) {
    Discard();
    throw;
  }
  file_.reset();
  temporary_path_.clear();
  lock_.reset();
  prepared_ = false;
}

void ReplacementFile::DropTemporary() {
  file_.reset();  // closes without caring about errors: the bytes are thrown away anyway
  if (!temporary_path_.empty()) {
    files_.Remove(temporary_path_);
    temporary_path_.clear();
  }
}

void ReplacementFile::Discard() {
  DropTemporary();
  lock_.reset();
  prepared_ = false;
}

}  // namespace fernkartei::support
