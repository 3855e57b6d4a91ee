#pragma once
// The settings file: one key at a time, read or written in the private-profile ("INI") format that the
// old program's system.ini has.

#include <string>
#include <string_view>

#include "support/error_log.h"
#include "support/file_system.h"

namespace fernkartei::support {

class SettingsFile {
 public:
  // log: where a failure to store a value is recorded.
  SettingsFile(std::string path, ErrorLog log, FileSystem& files = PlatformFileSystem());

  // The stored value (at most 254 characters, blanks kept where quotes protect them), or default_value
  // when the key, the file or the value is missing or empty. Anything but a regular file (a FIFO, a
  // device) counts as missing. Never fails.
  std::string Get(std::string_view section, std::string_view key, std::string_view default_value) const;
  // Stores key=value in the section, creating file and section as needed and keeping every other line;
  // of a value with line breaks only the first line. Never fails towards the caller: a failure is logged
  // (number > 0) and the setting is not stored; a file that may not be written is skipped silently.
  void Write(std::string_view section, std::string_view key, std::string_view value) const;

 private:
  std::string path_;
  ErrorLog log_;
  FileSystem* files_;
};

// The same on the file at INI_Path, logging beside the program.
std::string Get_InI(std::string_view section, std::string_view key, std::string_view default_value);
void Write_INI(std::string_view section, std::string_view key, std::string_view value);

}  // namespace fernkartei::support
