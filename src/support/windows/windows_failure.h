#pragma once
// Windows error codes as the program's numbered failures, the way errno values are on other systems: a
// message or log entry names the same number and text for the same kind of trouble on every platform.

#include "support/failure.h"

namespace fernkartei::support {

Failure FailureFromWindowsError(unsigned long error_code);
// With GetLastError() of the call that just failed.
[[noreturn]] void ThrowLastWindowsError();

}  // namespace fernkartei::support
