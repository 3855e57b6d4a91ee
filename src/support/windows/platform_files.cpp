#include "support/platform_files.h"

#include <io.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>

#include "support/windows/wide_text.h"

namespace fernkartei::support {

std::optional<std::string> EnvironmentVariable(const char* name) {
  const wchar_t* value = _wgetenv(WideFromUtf8(name).c_str());
  if (value == nullptr) return std::nullopt;
  return Utf8FromWide(value);
}

bool CutAtPosition(std::FILE* stream) {
  if (std::fflush(stream) != 0) return false;
  const __int64 end = _ftelli64(stream);
  return end >= 0 && _chsize_s(_fileno(stream), end) == 0;
}

bool SyncToDisk(std::FILE* stream) {
  const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream)));
  if (handle == INVALID_HANDLE_VALUE || GetFileType(handle) != FILE_TYPE_DISK) return true;
  return FlushFileBuffers(handle) != 0;
}

// Without USERPROFILE the output goes to "\documents\" on the current drive, as the program always did
// on Windows: there is no other documents folder to fall back on.
std::string UserDocumentsFolder() {
  return {};
}

}  // namespace fernkartei::support
