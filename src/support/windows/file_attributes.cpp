// File_Exist and File_Delete with the file system's own attributes: a directory search that asks for
// normal entries only (read-only and archive files match; hidden, system files and folders do not), and a
// delete that first resets the attributes, so a write-protected file goes too.

#include <windows.h>

#include "support/file_helpers.h"
#include "support/windows/wide_text.h"

namespace fernkartei::support {
namespace {

constexpr DWORD kNotNormal = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_DIRECTORY;

}  // namespace

bool File_Exist(const std::string& path) {
  if (path.empty()) return false;
  WIN32_FIND_DATAW entry;
  const HANDLE search = FindFirstFileExW(WideFromUtf8(path).c_str(), FindExInfoBasic, &entry,
                                         FindExSearchNameMatch, nullptr, 0);
  if (search == INVALID_HANDLE_VALUE) return false;
  bool found = false;
  do {
    found = (entry.dwFileAttributes & kNotNormal) == 0;
  } while (!found && FindNextFileW(search, &entry));
  FindClose(search);
  return found;
}

bool File_Delete(const std::string& path) {
  const std::wstring wide = WideFromUtf8(path);
  if (!SetFileAttributesW(wide.c_str(), FILE_ATTRIBUTE_NORMAL)) return false;
  return DeleteFileW(wide.c_str()) != 0;
}

}  // namespace fernkartei::support
