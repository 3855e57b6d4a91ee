#include "support/atomic_replace.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

namespace fernkartei::support {

ReplaceResult ReplaceFileContents(const std::string& path, std::string_view bytes) {
  struct stat old {};
  const bool existed = ::stat(path.c_str(), &old) == 0;
  // A write-protected file stays as it is, also for root, who could otherwise rename over it.
  if (existed && (!S_ISREG(old.st_mode) || (old.st_mode & 0222) == 0 || ::access(path.c_str(), W_OK) != 0)) {
    return ReplaceResult::NotWritable;
  }

  std::string pattern = path + ".XXXXXX";
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  const int fd = ::mkstemp(name.data());
  if (fd < 0)
    return errno == EACCES || errno == EROFS || errno == EPERM ? ReplaceResult::NotWritable
                                                               : ReplaceResult::Failed;
  bool ok = true;
  std::size_t written = 0;
  while (ok && written < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + written, bytes.size() - written);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0)
      ok = false;
    else
      written += static_cast<std::size_t>(n);
  }
  if (ok) {
    const mode_t mode = existed ? (old.st_mode & 07777) : [] {
      const mode_t mask = ::umask(0);
      ::umask(mask);
      return static_cast<mode_t>(0666 & ~mask);
    }();
    ok = ::fchmod(fd, mode) == 0 && ::fsync(fd) == 0;
  }
  ok = (::close(fd) == 0) && ok;
  if (ok) ok = ::rename(name.data(), path.c_str()) == 0;
  if (!ok) {
    ::unlink(name.data());
    return ReplaceResult::Failed;
  }
  return ReplaceResult::Replaced;
}

}  // namespace fernkartei::support
