#include "app/instance_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

namespace fernkartei::app {
namespace {

enum class LockResult { Taken, HeldElsewhere, Unavailable };

LockResult TryLock(const std::string& path, int& descriptor) {
  const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
  if (fd < 0) return LockResult::Unavailable;
  if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
    descriptor = fd;
    return LockResult::Taken;
  }
  const int error = errno;
  ::close(fd);
  return error == EWOULDBLOCK ? LockResult::HeldElsewhere : LockResult::Unavailable;
}

}  // namespace

InstanceLock::InstanceLock(std::string lock_path, std::string fallback_path)
    : lock_path_(std::move(lock_path)), fallback_path_(std::move(fallback_path)) {}

InstanceLock::~InstanceLock() {
  if (descriptor_ >= 0) ::close(descriptor_);
}

bool InstanceLock::HeldElsewhere() {
  if (descriptor_ >= 0) return false;
  switch (TryLock(lock_path_, descriptor_)) {
    case LockResult::Taken:
      return false;
    case LockResult::HeldElsewhere:
      return true;
    case LockResult::Unavailable:
      break;
  }
  return TryLock(fallback_path_, descriptor_) == LockResult::HeldElsewhere;
}

}  // namespace fernkartei::app
