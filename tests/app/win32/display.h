#pragma once
// Wine makes windows only on an X server: without one the window tests skip themselves.

#include <windows.h>

namespace fernkartei::testing {

inline bool WineHasDisplay() {
  return GetEnvironmentVariableW(L"DISPLAY", nullptr, 0) > 0;
}

}  // namespace fernkartei::testing
