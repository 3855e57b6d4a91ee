// The file system of Windows: every name goes to the wide functions, files are created and replaced
// with the system's own calls (C streams over their handles for writing), and write protection is the
// read-only attribute.

#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdio>

#include "support/failure.h"
#include "support/file_system.h"
#include "support/stdio_file.h"
#include "support/windows/wide_text.h"
#include "support/windows/windows_failure.h"

namespace fernkartei::support {
namespace {

// What a failed CreateFileW means: a folder in the file's place gives the failure it gives elsewhere.
[[noreturn]] void ThrowOpenFailure(const std::wstring& path) {
  const DWORD error = GetLastError();
  const DWORD attributes = GetFileAttributesW(path.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
    throw Failure(ErrorNumber::PathFileAccessError);
  throw FailureFromWindowsError(error);
}

// A C stream over the handle, which it then owns.
std::unique_ptr<WritableFile> StreamOver(HANDLE handle, int flags) {
  const int descriptor = _open_osfhandle(reinterpret_cast<intptr_t>(handle), flags | _O_BINARY);
  if (descriptor < 0) {
    CloseHandle(handle);
    throw Failure(ErrorNumber::DeviceIoError);
  }
  std::FILE* stream = _fdopen(descriptor, (flags & _O_APPEND) != 0 ? "ab" : "wb");
  if (stream == nullptr) {
    _close(descriptor);
    throw Failure(ErrorNumber::DeviceIoError);
  }
  return std::make_unique<StdioFile>(stream, true);
}

class WindowsFileSystem final : public FileSystem {
 public:
  std::unique_ptr<WritableFile> OpenForAppend(const std::string& path) override {
    const std::wstring wide = WideFromUtf8(path);
    // Shared for writing too: two programs may append to the error log at once, each write at the end.
    const HANDLE handle = CreateFileW(wide.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                      nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) ThrowOpenFailure(wide);
    return StreamOver(handle, _O_APPEND);
  }

  // CREATE_NEW, because the C runtime's "x" mode is ignored here and would truncate someone's file.
  std::unique_ptr<WritableFile> CreateNew(const std::string& path) override {
    const std::wstring wide = WideFromUtf8(path);
    const HANDLE handle = CreateFileW(wide.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
      const DWORD error = GetLastError();
      if (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS) return nullptr;
      SetLastError(error);
      ThrowOpenFailure(wide);
    }
    return StreamOver(handle, 0);
  }

  // A write-protected old file is replaced as the old program replaced it: its read-only flag cleared.
  void Replace(const std::string& from, const std::string& to) override {
    const std::wstring target = WideFromUtf8(to);
    const DWORD attributes = GetFileAttributesW(target.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0)
      SetFileAttributesW(target.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
    if (!MoveFileExW(WideFromUtf8(from).c_str(), target.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
      const DWORD error = GetLastError();
      if (attributes != INVALID_FILE_ATTRIBUTES) SetFileAttributesW(target.c_str(), attributes);
      throw FailureFromWindowsError(error);
    }
  }

  bool Remove(const std::string& path) noexcept override {
    try {
      return DeleteFileW(WideFromUtf8(path).c_str()) != 0;
    } catch (...) {
      return false;
    }
  }

  // Hidden, system and archive go along; the copy stays writable.
  void CopyAccessRights(const std::string& model, const std::string& path) override {
    const DWORD attributes = GetFileAttributesW(WideFromUtf8(model).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return;
    constexpr DWORD kKept = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE;
    const DWORD kept = attributes & kKept;
    if (!SetFileAttributesW(WideFromUtf8(path).c_str(), kept != 0 ? kept : FILE_ATTRIBUTE_NORMAL))
      ThrowLastWindowsError();
  }

  bool IsWriteProtected(const std::string& path) override {
    const DWORD attributes = GetFileAttributesW(WideFromUtf8(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return false;
    return (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) != 0;
  }

  // Asks for what replacing the file needs, sharing everything: only a program that shares nothing (an
  // editor, a spreadsheet holding the phonebook) refuses it.
  bool IsHeldOpen(const std::string& path) override {
    const HANDLE handle = CreateFileW(WideFromUtf8(path).c_str(), DELETE,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle != INVALID_HANDLE_VALUE) {
      CloseHandle(handle);
      return false;
    }
    const DWORD error = GetLastError();
    return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION;
  }
};

}  // namespace

FileSystem& PlatformFileSystem() {
  static WindowsFileSystem file_system;
  return file_system;
}

}  // namespace fernkartei::support
