// Which file an output or settings path means. A symbolic link is followed only when it belongs to the
// user running the program or to root: following a link of another user would let that user aim a run
// of root at any file of the system.

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

#include "support/failure.h"
#include "support/posix/posix_files.h"

namespace fernkartei::support::posix {
namespace {

// As many links in a row as the kernel itself follows.
constexpr int kMostLinks = 40;

std::string LinkText(const std::string& link) {
  std::vector<char> buffer(256);
  for (;;) {
    const ssize_t length = ::readlink(link.c_str(), buffer.data(), buffer.size());
    if (length < 0) ThrowFileFailure(errno);
    if (static_cast<std::size_t>(length) < buffer.size()) return std::string(buffer.data(), length);
    buffer.resize(buffer.size() * 2);
  }
}

}  // namespace

std::pair<std::string, std::string> FolderAndName(const std::string& path) {
  const auto slash = path.find_last_of('/');
  if (slash == std::string::npos) return {".", path};
  return {slash == 0 ? "/" : path.substr(0, slash), path.substr(slash + 1)};
}

std::string FinalTarget(const std::string& path) {
  std::string current = path;
  for (int links = 0; links <= kMostLinks; ++links) {
    struct stat info {};
    if (::lstat(current.c_str(), &info) != 0) {
      // Missing: a new file (or a missing folder, which writing reports in its turn).
      if (errno == ENOENT) return current;
      ThrowFileFailure(errno);
    }
    if (S_ISREG(info.st_mode)) return current;
    if (!S_ISLNK(info.st_mode)) throw Failure(ErrorNumber::PathFileAccessError);
    if (info.st_uid != ::geteuid() && info.st_uid != 0) throw Failure(ErrorNumber::PermissionDenied);
    const std::string text = LinkText(current);
    const auto slash = current.find_last_of('/');
    current = (!text.empty() && text.front() == '/') || slash == std::string::npos
                  ? text
                  : current.substr(0, slash + 1) + text;
  }
  throw Failure(ErrorNumber::PathFileAccessError);
}

}  // namespace fernkartei::support::posix
