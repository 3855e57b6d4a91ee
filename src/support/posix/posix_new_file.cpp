// The new file that replaces another one: created under a private name with mode 0600, held with flock(2)
// until the object goes, changed only through its descriptor and renamed relative to the folder it was
// created in, so that neither a swapped name nor a swapped folder can redirect any of it.

#include <fcntl.h>
#include <sys/file.h>

#include <cerrno>
#include <cstdio>

#include "support/failure.h"
#include "support/posix/posix_files.h"
#include "support/stdio_file.h"

namespace fernkartei::support::posix {
namespace {

// Opened for reading where the folder allows it, as only such a descriptor can be synced; else only
// for naming entries relative to it.
Descriptor OpenFolder(const std::string& folder) {
  Descriptor dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (!dir && errno == EACCES) dir = Descriptor(::open(folder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
  if (!dir) ThrowFileFailure(errno);
  return dir;
}

bool Names(const Descriptor& dir, const std::string& name, const Descriptor& file) {
  struct stat named {};
  struct stat opened {};
  return ::fstatat(dir.get(), name.c_str(), &named, AT_SYMLINK_NOFOLLOW) == 0 &&
         ::fstat(file.get(), &opened) == 0 && SameFile(named, opened);
}

class PosixNewFile final : public NewFile {
 public:
  PosixNewFile(Descriptor dir, std::string name, Descriptor held, std::FILE* stream)
      : dir_(std::move(dir)), name_(std::move(name)), held_(std::move(held)), stream_(stream, true) {}

  void Write(std::string_view bytes) override { stream_.Write(bytes); }
  void Flush() override { stream_.Flush(); }
  void Sync() override { stream_.Sync(); }
  // Ends the writing; the held descriptor stays, and with it the lock and the means to rename.
  void Close() override { stream_.Close(); }

  void TakeAttributesOf(const std::string& model) override { CopyAttributes(model, held_.get()); }

  void ReplaceTarget(const std::string& target) override {
    if (!Names(dir_, name_, held_)) throw Failure(ErrorNumber::PathFileAccessError);
    const std::string target_name = FolderAndName(target).second;
    if (::renameat(dir_.get(), name_.c_str(), dir_.get(), target_name.c_str()) != 0) ThrowFileFailure(errno);
    name_ = target_name;
    // Without this the rename may be lost in a power cut although the run said it was done. A folder
    // that could only be opened for naming cannot be synced (EBADF); some file systems sync nothing.
    if (::fsync(dir_.get()) != 0 && errno != EBADF && errno != EINVAL && errno != EROFS) {
      ThrowFileFailure(errno);
    }
  }

 private:
  Descriptor dir_;
  std::string name_;
  Descriptor held_;
  StdioFile stream_;
};

}  // namespace

std::unique_ptr<NewFile> CreateHeldFile(const std::string& path) {
  const auto [folder, name] = FolderAndName(path);
  Descriptor dir = OpenFolder(folder);
  Descriptor held(
      ::openat(dir.get(), name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
  if (!held) {
    if (errno == EEXIST) return nullptr;
    ThrowFileFailure(errno);
  }
  // Between the creation and the lock another run may have taken the file for a left-over one. A file
  // system without flock(2) holds nothing, and there no run removes anything either.
  if (::flock(held.get(), LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK) return nullptr;
  if (!Names(dir, name, held)) return nullptr;
  const int writer = ::fcntl(held.get(), F_DUPFD_CLOEXEC, 0);
  std::FILE* stream = writer < 0 ? nullptr : ::fdopen(writer, "wb");
  if (stream == nullptr) {
    const int error = errno;
    if (writer >= 0) ::close(writer);
    ::unlinkat(dir.get(), name.c_str(), 0);
    ThrowFileFailure(error);
  }
  return std::make_unique<PosixNewFile>(std::move(dir), name, std::move(held), stream);
}

}  // namespace fernkartei::support::posix
