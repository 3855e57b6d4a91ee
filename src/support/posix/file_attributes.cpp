// File_Exist and File_Delete on a POSIX file system, which has no hidden, system or archive attributes:
// a name starting with "." counts as hidden, a file without any write bit as read-only.

#include <dirent.h>
#include <fnmatch.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "support/file_helpers.h"

namespace fernkartei::support {
namespace {

bool IsHiddenName(const std::string& name) {
  return !name.empty() && name.front() == '.';
}

bool IsOrdinaryFile(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

void SplitPath(const std::string& path, std::string& folder, std::string& name) {
  const auto slash = path.find_last_of('/');
  if (slash == std::string::npos) {
    folder = ".";
    name = path;
  } else {
    folder = slash == 0 ? "/" : path.substr(0, slash);
    name = path.substr(slash + 1);
  }
}

}  // namespace

bool File_Exist(const std::string& path) {
  try {
    std::string folder, pattern;
    SplitPath(path, folder, pattern);
    if (pattern.empty()) return false;
    if (pattern.find_first_of("*?") == std::string::npos) {
      return !IsHiddenName(pattern) && IsOrdinaryFile(path);
    }
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr) return false;
    bool found = false;
    while (const dirent* entry = ::readdir(dir)) {
      const std::string name = entry->d_name;
      if (IsHiddenName(name)) continue;
      // Only "*" and "?" are wildcards of a directory search; brackets and backslashes are plain.
      std::string glob;
      for (const char c : pattern) {
        if (c == '[' || c == ']' || c == '\\') glob += '\\';
        glob += c;
      }
      if (::fnmatch(glob.c_str(), name.c_str(), 0) == 0 && IsOrdinaryFile(folder + "/" + name)) {
        found = true;
        break;
      }
    }
    ::closedir(dir);
    return found;
  } catch (...) {
    return false;
  }
}

bool File_Delete(const std::string& path) {
  struct stat info {};
  if (::lstat(path.c_str(), &info) != 0 || S_ISDIR(info.st_mode)) return false;
  // Restore the write bit of a read-only file first, as deleting a write-protected file is meant to work.
  if (S_ISREG(info.st_mode) && (info.st_mode & S_IWUSR) == 0) {
    if (::chmod(path.c_str(), info.st_mode | S_IWUSR) != 0) return false;
  }
  return ::unlink(path.c_str()) == 0;
}

}  // namespace fernkartei::support
