#pragma once
// The pieces of the POSIX file system, each in a file of its own, and the few helpers they share.

#include <sys/stat.h>
#include <unistd.h>

#include <memory>
#include <string>
#include <utility>

#include "support/file_system.h"

namespace fernkartei::support::posix {

// An open descriptor, closed with the object.
class Descriptor {
 public:
  explicit Descriptor(int fd = -1) : fd_(fd) {}
  ~Descriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  Descriptor(Descriptor&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
  Descriptor& operator=(Descriptor&& other) noexcept {
    if (this != &other) {
      if (fd_ >= 0) ::close(fd_);
      fd_ = std::exchange(other.fd_, -1);
    }
    return *this;
  }

  int get() const { return fd_; }
  explicit operator bool() const { return fd_ >= 0; }

 private:
  int fd_;
};

inline bool SameFile(const struct stat& a, const struct stat& b) {
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// "folder/name" → {"folder", "name"}; a bare name lies in "."; "/name" in "/".
std::pair<std::string, std::string> FolderAndName(const std::string& path);

// A new file held with flock(2) from its creation on (see NewFile).
std::unique_ptr<NewFile> CreateHeldFile(const std::string& path);
// An existing regular file written anew from its first byte and cut after the last one written.
std::unique_ptr<WritableFile> OpenRewrite(const std::string& path);
// The lock file at path, held with flock(2) (see FileSystem::TryLock).
std::unique_ptr<FileLock> TryLockFile(const std::string& path);
// See FileSystem::RemoveAbandoned.
bool RemoveIfAbandoned(const std::string& path) noexcept;
// See FileSystem::ResolveTarget.
std::string FinalTarget(const std::string& path);
// See NewFile::TakeAttributesOf.
void CopyAttributes(const std::string& model, int fd);

}  // namespace fernkartei::support::posix
