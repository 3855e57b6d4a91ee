#include "app/instance_lock.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <utility>

namespace fernkartei::app {
namespace {

enum class LockResult { Taken, HeldElsewhere, Unavailable };

// A folder (not a link to one) of this user that nobody else may write to.
bool IsPrivateFolder(const std::string& path) {
  struct stat status {};
  return !path.empty() && path.front() == '/' && ::lstat(path.c_str(), &status) == 0 &&
         S_ISDIR(status.st_mode) && status.st_uid == ::geteuid() &&
         (status.st_mode & (S_IWGRP | S_IWOTH)) == 0;
}

std::string Variable(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? value : "";
}

std::string HomeFolder() {
  if (std::string home = Variable("HOME"); !home.empty()) return home;
  const passwd* user = ::getpwuid(::geteuid());
  return user != nullptr && user->pw_dir != nullptr ? user->pw_dir : "";
}

LockResult TryLock(const std::string& path, int& descriptor) {
  const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
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

std::string PrivateRuntimeFolder() {
  if (std::string runtime = Variable("XDG_RUNTIME_DIR"); IsPrivateFolder(runtime)) return runtime;
  std::string cache = Variable("XDG_CACHE_HOME");
  if (cache.empty() || cache.front() != '/') {
    const std::string home = HomeFolder();
    if (home.empty()) return {};
    cache = home + "/.cache";
  }
  ::mkdir(cache.c_str(), 0700);
  const std::string own = cache + "/fernkartei";
  ::mkdir(own.c_str(), 0700);
  return IsPrivateFolder(own) ? own : std::string();
}

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
