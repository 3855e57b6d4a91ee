#include "support/platform_files.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <fstream>

namespace fernkartei::support {
namespace {

std::string Environment(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? value : "";
}

// The value of XDG_DOCUMENTS_DIR in user-dirs.dirs, with $HOME expanded; empty when not set there.
std::string DocumentsFromUserDirs(const std::string& home) {
  std::string config = Environment("XDG_CONFIG_HOME");
  if (config.empty()) {
    if (home.empty()) return "";
    config = home + "/.config";
  }
  std::ifstream in(config + "/user-dirs.dirs");
  std::string line;
  const std::string key = "XDG_DOCUMENTS_DIR=";
  while (std::getline(in, line)) {
    if (line.rfind(key, 0) != 0) continue;
    std::string value = line.substr(key.size());
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
      value = value.substr(1, value.size() - 2);
    if (value.rfind("$HOME", 0) == 0) value = home + value.substr(5);
    while (value.size() > 1 && value.back() == '/') value.pop_back();
    // The file's own convention: a folder equal to HOME means the user switched the folder off.
    if (value.empty() || value == home || value.front() != '/') return "";
    return value;
  }
  return "";
}

}  // namespace

std::optional<std::string> EnvironmentVariable(const char* name) {
  const char* value = std::getenv(name);
  if (value == nullptr) return std::nullopt;
  return value;
}

bool CutAtPosition(std::FILE* stream) {
  if (std::fflush(stream) != 0) return false;
  const off_t end = ::ftello(stream);
  return end >= 0 && ::ftruncate(::fileno(stream), end) == 0;
}

bool SyncToDisk(std::FILE* stream) {
  const int fd = fileno(stream);
  struct stat info {};
  if (fd < 0 || ::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) return true;
  return ::fsync(fd) == 0 || errno == EINVAL;
}

std::string UserDocumentsFolder() {
  std::string home = Environment("HOME");
  while (home.size() > 1 && home.back() == '/') home.pop_back();
  if (std::string documents = DocumentsFromUserDirs(home); !documents.empty()) return documents;
  if (home.empty()) return "";
  return home + "/Documents";
}

}  // namespace fernkartei::support
