#include "support/platform_files.h"

#include <io.h>
#include <windows.h>

namespace fernkartei::support {

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
