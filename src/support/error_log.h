#pragma once
// error_log.txt beside the program: failures the program absorbs without telling the user.

#include <chrono>
#include <functional>
#include <string>

#include "support/failure.h"
#include "support/file_system.h"

namespace fernkartei::support {

// The local date the entries carry.
using LogClock = std::function<std::chrono::year_month_day()>;
std::chrono::year_month_day LocalToday();

class ErrorLog {
 public:
  explicit ErrorLog(std::string path, LogClock clock = LocalToday, FileSystem& files = PlatformFileSystem());

  // Appends one four-line entry for a failure with a number above 0; ignores others. A log that cannot
  // be written is given up on quietly: logging never ends or breaks the program.
  void Write(const std::string& location, const Failure& failure, int line) const;

 private:
  std::string path_;
  LogClock clock_;
  FileSystem* files_;
};

// The log beside the program.
ErrorLog ProgramErrorLog();
// Writes to the log beside the program.
void Write_Error_Log(const std::string& location, const Failure& failure, int line);

}  // namespace fernkartei::support
