#pragma once
// What the tests of the native window look at: Wine's display, a control by its name, a window's text.

#include <windows.h>

#include <string>
#include <string_view>

#include "app/win32/win32_form.h"
#include "support/windows/wide_text.h"

namespace fernkartei::testing {

// Wine makes windows only on an X server: without one the window tests skip themselves.
inline bool WineHasDisplay() {
  return GetEnvironmentVariableW(L"DISPLAY", nullptr, 0) > 0;
}

inline HWND ControlOf(HWND window, std::string_view name) {
  for (const app::ControlLayout& control : app::kForm1Controls)
    if (control.object_name == name) return GetDlgItem(window, app::ControlId(control));
  return nullptr;
}

inline std::string TextOf(HWND window) {
  wchar_t text[1024] = {};
  GetWindowTextW(window, text, 1024);
  return support::Utf8FromWide(text);
}

}  // namespace fernkartei::testing
