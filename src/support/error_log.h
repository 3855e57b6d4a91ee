#pragma once
// error_log.txt beside the program: failures the program absorbs without telling the user.

#include <chrono>
#include <functional>
#include <string>

#include "support/failure.h"

namespace fernkartei::support {

// Appends one four-line entry for a failure with a number above 0; ignores others. A log that cannot
// be written is given up on quietly: logging never ends or breaks the program.
void Write_Error_Log(const std::string& location, const Failure& failure, int line);

// The local date the entries carry; tests replace it.
using LogClock = std::function<std::chrono::year_month_day()>;
void SetLogClock(LogClock clock);

}  // namespace fernkartei::support
