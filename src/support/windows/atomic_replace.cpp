#include "support/atomic_replace.h"

#include <windows.h>

#include <random>

#include "support/windows/wide_text.h"

namespace fernkartei::support {
namespace {

bool IsPermissionError(DWORD error) {
  return error == ERROR_ACCESS_DENIED || error == ERROR_WRITE_PROTECT || error == ERROR_SHARING_VIOLATION ||
         error == ERROR_LOCK_VIOLATION;
}

// A new file of its own beside the target; INVALID_HANDLE_VALUE with the error when none can be made.
HANDLE CreateBeside(const std::wstring& target, std::wstring& temporary) {
  std::mt19937 random(std::random_device{}());
  for (int attempt = 0; attempt < 16; ++attempt) {
    temporary = target + L"." + std::to_wstring(random() % 1000000) + L".tmp";
    const HANDLE file =
        CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE || GetLastError() != ERROR_FILE_EXISTS) return file;
  }
  return INVALID_HANDLE_VALUE;
}

bool WriteAll(HANDLE file, std::string_view bytes) {
  while (!bytes.empty()) {
    DWORD written = 0;
    const auto chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 20));
    if (!WriteFile(file, bytes.data(), chunk, &written, nullptr) || written == 0) return false;
    bytes.remove_prefix(written);
  }
  return true;
}

}  // namespace

ReplaceResult ReplaceFileContents(const std::string& path, std::string_view bytes) {
  const std::wstring target = WideFromUtf8(path);
  const DWORD old_attributes = GetFileAttributesW(target.c_str());
  const bool existed = old_attributes != INVALID_FILE_ATTRIBUTES;
  if (existed && (old_attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) != 0)
    return ReplaceResult::NotWritable;

  std::wstring temporary;
  const HANDLE file = CreateBeside(target, temporary);
  if (file == INVALID_HANDLE_VALUE)
    return IsPermissionError(GetLastError()) ? ReplaceResult::NotWritable : ReplaceResult::Failed;
  bool ok = WriteAll(file, bytes) && FlushFileBuffers(file);
  ok = CloseHandle(file) && ok;
  // A hidden or system settings file stays so; MoveFileEx takes the new file's attributes along.
  if (ok && existed)
    SetFileAttributesW(temporary.c_str(), old_attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                                            FILE_ATTRIBUTE_ARCHIVE));
  DWORD error = ERROR_SUCCESS;
  if (ok) {
    ok = MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    if (!ok) error = GetLastError();
  }
  if (!ok) {
    DeleteFileW(temporary.c_str());
    return IsPermissionError(error) ? ReplaceResult::NotWritable : ReplaceResult::Failed;
  }
  return ReplaceResult::Replaced;
}

}  // namespace fernkartei::support
