// The file system of POSIX systems: C streams over descriptors, flock(2) for holding files, renameat(2)
// for the one-step replacement, mode bits and extended attributes for access rights.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "support/failure.h"
#include "support/file_system.h"
#include "support/posix/posix_files.h"
#include "support/stdio_file.h"

namespace fernkartei::support {
namespace {

using posix::Descriptor;

class PosixFileSystem final : public FileSystem {
 public:
  std::unique_ptr<WritableFile> OpenForAppend(const std::string& path) override {
    errno = 0;
    std::FILE* stream = std::fopen(path.c_str(), "ab");
    if (stream == nullptr) ThrowFileFailure(errno);
    return std::make_unique<StdioFile>(stream, true);
  }

  std::unique_ptr<NewFile> CreateNew(const std::string& path) override { return posix::CreateHeldFile(path); }

  std::unique_ptr<WritableFile> OpenForRewrite(const std::string& path) override {
    Descriptor fd(::open(path.c_str(), O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    if (!fd) ThrowFileFailure(errno);
    struct stat info {};
    if (::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode))
      throw Failure(ErrorNumber::PathFileAccessError);
    const int writer = ::fcntl(fd.get(), F_DUPFD_CLOEXEC, 0);
    std::FILE* stream = writer < 0 ? nullptr : ::fdopen(writer, "wb");
    if (stream == nullptr) {
      if (writer >= 0) ::close(writer);
      ThrowFileFailure(errno);
    }
    return std::make_unique<RewrittenFile>(stream);
  }

  bool Remove(const std::string& path) noexcept override { return ::unlink(path.c_str()) == 0; }

  bool RemoveAbandoned(const std::string& path) noexcept override { return posix::RemoveIfAbandoned(path); }

  std::unique_ptr<FileLock> TryLock(const std::string& path) override { return posix::TryLockFile(path); }

  std::string ResolveTarget(const std::string& path) override { return posix::FinalTarget(path); }

  // Opened without waiting (a FIFO would wait for a writer), then read only when it is a regular file,
  // never beyond the bound, which a file growing meanwhile cannot pass either.
  FileContents ReadRegularFile(const std::string& path, std::uintmax_t largest) override {
    FileContents contents;
    Descriptor fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    contents.state = !fd && errno == ENOENT ? FileContents::State::Missing : FileContents::State::Unreadable;
    struct stat info {};
    if (!fd || ::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode)) return contents;
    if (static_cast<std::uintmax_t>(info.st_size) > largest) return contents;
    char buffer[1 << 14];
    for (;;) {
      const ssize_t got = ::read(fd.get(), buffer, sizeof buffer);
      if (got < 0 && errno == EINTR) continue;
      if (got < 0 || contents.bytes.size() + static_cast<std::size_t>(got) > largest) {
        contents.bytes.clear();
        return contents;
      }
      if (got == 0) break;
      contents.bytes.append(buffer, static_cast<std::size_t>(got));
    }
    contents.state = FileContents::State::Read;
    return contents;
  }

  bool IsWriteProtected(const std::string& path) override {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return false;
    // No write bit counts also for root, who could otherwise write anyway.
    return !S_ISREG(info.st_mode) || (info.st_mode & 0222) == 0 || ::access(path.c_str(), W_OK) != 0;
  }

  bool IsHeldOpen(const std::string&) override { return false; }
};

}  // namespace

FileSystem& PlatformFileSystem() {
  static PosixFileSystem file_system;
  return file_system;
}

}  // namespace fernkartei::support
