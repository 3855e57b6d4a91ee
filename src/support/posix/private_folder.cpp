#include "support/posix/private_folder.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

namespace fernkartei::support {
namespace {

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

}  // namespace fernkartei::support
