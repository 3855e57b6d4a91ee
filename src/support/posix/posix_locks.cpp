// Holding files between processes with flock(2): a lock file beside a target, and the test whether a
// temporary file is still held by the run that made it. A flock ends with the last descriptor of the
// holder, also when the holder is killed, so nothing stays locked after a crash.

#include <fcntl.h>
#include <sys/file.h>

#include <cerrno>

#include "support/failure.h"
#include "support/posix/posix_files.h"

namespace fernkartei::support::posix {
namespace {

bool StillNamed(const std::string& path, const Descriptor& fd) {
  struct stat named {};
  struct stat opened {};
  return ::lstat(path.c_str(), &named) == 0 && ::fstat(fd.get(), &opened) == 0 && SameFile(named, opened);
}

class PosixLock final : public FileLock {
 public:
  PosixLock(std::string path, Descriptor fd) : path_(std::move(path)), fd_(std::move(fd)) {}
  // Removed while still locked: whoever waits on this file sees afterwards that its name is gone.
  ~PosixLock() override {
    if (StillNamed(path_, fd_)) ::unlink(path_.c_str());
  }

 private:
  std::string path_;
  Descriptor fd_;
};

}  // namespace

std::unique_ptr<FileLock> TryLockFile(const std::string& path) {
  // The holder removes the file when it is done; a waiter that got the lock on the removed file takes
  // the new one instead.
  for (int attempt = 0; attempt < 4; ++attempt) {
    // Readable is enough for flock, so that another user who may replace the same file can wait too.
    Descriptor fd(::open(path.c_str(), O_RDONLY | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0644));
    if (!fd) ThrowFileFailure(errno);
    struct stat info {};
    if (::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode))
      throw Failure(ErrorNumber::PathFileAccessError);
    if (::flock(fd.get(), LOCK_EX | LOCK_NB) != 0) {
      if (errno == EWOULDBLOCK) return nullptr;
      // A file system without flock(2): runs cannot be kept apart there, but may still go on.
      return std::make_unique<PosixLock>(path, std::move(fd));
    }
    if (StillNamed(path, fd)) return std::make_unique<PosixLock>(path, std::move(fd));
  }
  return nullptr;
}

bool RemoveIfAbandoned(const std::string& path) noexcept {
  struct stat named {};
  if (::lstat(path.c_str(), &named) != 0 || !S_ISREG(named.st_mode) || named.st_uid != ::geteuid()) {
    return false;
  }
  Descriptor fd(::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
  struct stat opened {};
  if (!fd || ::fstat(fd.get(), &opened) != 0 || !SameFile(named, opened)) return false;
  if (::flock(fd.get(), LOCK_EX | LOCK_NB) != 0) return false;
  // Checked under the lock: the file opened is the one that stands there now.
  return StillNamed(path, fd) && ::unlink(path.c_str()) == 0;
}

}  // namespace fernkartei::support::posix
