#pragma once
// The platform's file system, except that one chosen call fails with a chosen number: a full disk, a
// refused permission or a failing commit, without such a disk or another user.

#include <memory>
#include <string>

#include "support/failure.h"
#include "support/file_system.h"

namespace fernkartei::fakes {

enum class FileCall { None, Open, Write, Flush, Sync, Close, Replace, Lock };  // None: nothing fails

class FailingFileSystem : public support::FileSystem {
 public:
  FailingFileSystem(FileCall failing, support::ErrorNumber number) : failing_(failing), number_(number) {}

  std::unique_ptr<support::WritableFile> OpenForAppend(const std::string& path) override {
    Enter(FileCall::Open);
    return std::make_unique<File<support::WritableFile>>(*this, real_.OpenForAppend(path));
  }
  std::unique_ptr<support::NewFile> CreateNew(const std::string& path) override {
    Enter(FileCall::Open);
    auto file = real_.CreateNew(path);
    return file ? std::make_unique<NewFile>(*this, std::move(file)) : nullptr;
  }
  std::unique_ptr<support::WritableFile> OpenForRewrite(const std::string& path) override {
    Enter(FileCall::Open);
    return std::make_unique<File<support::WritableFile>>(*this, real_.OpenForRewrite(path));
  }
  bool Remove(const std::string& path) noexcept override { return real_.Remove(path); }
  bool RemoveAbandoned(const std::string& path) noexcept override { return real_.RemoveAbandoned(path); }
  std::unique_ptr<support::FileLock> TryLock(const std::string& path) override {
    Enter(FileCall::Lock);
    return real_.TryLock(path);
  }
  std::string ResolveTarget(const std::string& path) override { return real_.ResolveTarget(path); }
  support::FileContents ReadRegularFile(const std::string& path, std::uintmax_t largest) override {
    return real_.ReadRegularFile(path, largest);
  }
  bool IsWriteProtected(const std::string& path) override { return real_.IsWriteProtected(path); }
  bool IsHeldOpen(const std::string& path) override { return real_.IsHeldOpen(path); }

 private:
  template <typename Base>
  class File : public Base {
   public:
    File(FailingFileSystem& files, std::unique_ptr<Base> real) : files_(files), real_(std::move(real)) {}
    void Write(std::string_view bytes) override { files_.Enter(FileCall::Write), real_->Write(bytes); }
    void Flush() override { files_.Enter(FileCall::Flush), real_->Flush(); }
    void Sync() override { files_.Enter(FileCall::Sync), real_->Sync(); }
    // Closed first, as a close that reports a failure has still closed the file.
    void Close() override { real_->Close(), files_.Enter(FileCall::Close); }

   protected:
    FailingFileSystem& files_;
    std::unique_ptr<Base> real_;
  };
  class NewFile : public File<support::NewFile> {
   public:
    using File::File;
    void TakeAttributesOf(const std::string& model) override { real_->TakeAttributesOf(model); }
    void ReplaceTarget(const std::string& target) override {
      files_.Enter(FileCall::Replace), real_->ReplaceTarget(target);
    }
  };

  void Enter(FileCall call) const {
    if (call == failing_) throw support::Failure(number_);
  }

  FileCall failing_;
  support::ErrorNumber number_;
  support::FileSystem& real_ = support::PlatformFileSystem();
};

}  // namespace fernkartei::fakes
