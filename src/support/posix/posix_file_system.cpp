// The file system of POSIX systems: C streams over descriptors, rename(2) for the one-step replacement,
// and mode bits for access rights.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "support/failure.h"
#include "support/file_system.h"
#include "support/stdio_file.h"

namespace fernkartei::support {
namespace {

class PosixFileSystem final : public FileSystem {
 public:
  std::unique_ptr<WritableFile> OpenForAppend(const std::string& path) override {
    errno = 0;
    std::FILE* stream = std::fopen(path.c_str(), "ab");
    if (stream == nullptr) ThrowFileFailure(errno);
    return std::make_unique<StdioFile>(stream, true);
  }

  std::unique_ptr<WritableFile> CreateNew(const std::string& path) override {
    // O_EXCL fails instead of opening an entry that is already there, so no one else's file is touched.
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) {
      if (errno == EEXIST) return nullptr;
      ThrowFileFailure(errno);
    }
    std::FILE* stream = ::fdopen(fd, "wb");
    if (stream == nullptr) {
      const int error = errno;
      ::close(fd);
      ::unlink(path.c_str());
      ThrowFileFailure(error);
    }
    return std::make_unique<StdioFile>(stream, true);
  }

  void Replace(const std::string& from, const std::string& to) override {
    if (::rename(from.c_str(), to.c_str()) != 0) ThrowFileFailure(errno);
  }

  bool Remove(const std::string& path) noexcept override { return ::unlink(path.c_str()) == 0; }

  void CopyAccessRights(const std::string& model, const std::string& path) override {
    struct stat old {};
    if (::stat(model.c_str(), &old) != 0) return;
    if (::chmod(path.c_str(), (old.st_mode & 07777) | S_IWUSR) != 0) ThrowFileFailure(errno);
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
