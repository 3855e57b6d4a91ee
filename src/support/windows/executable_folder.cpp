#include <windows.h>

#include <string>

#include "support/windows/wide_text.h"

namespace fernkartei::support {

// The folder of the running program, in full (the name may be longer than MAX_PATH).
std::string ExecutableFolder() {
  std::wstring name(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, name.data(), static_cast<DWORD>(name.size()));
    if (length == 0) return {};
    if (length < name.size()) {
      name.resize(length);
      break;
    }
    name.resize(name.size() * 2);
  }
  const auto separator = name.find_last_of(L"\\/");
  return Utf8FromWide(separator == std::wstring::npos ? std::wstring_view()
                                                      : std::wstring_view(name).substr(0, separator));
}

}  // namespace fernkartei::support
