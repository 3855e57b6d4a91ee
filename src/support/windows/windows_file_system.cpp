// The file system of Windows: every name goes to the wide functions, files are created and replaced
// with the system's own calls (C streams over their handles for writing), and write protection is the
// read-only attribute.

#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include "support/failure.h"
#include "support/file_system.h"
#include "support/windows/wide_text.h"
#include "support/windows/windows_failure.h"
#include "support/windows/windows_files.h"

namespace fernkartei::support {
namespace {

// Opened only to look at: every sharing allowed, so no other program is disturbed.
HANDLE OpenToLookAt(const std::wstring& path, DWORD access, DWORD flags) {
  return CreateFileW(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                     OPEN_EXISTING, flags, nullptr);
}

bool IsMissing(DWORD error) {
  return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
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

  std::unique_ptr<NewFile> CreateNew(const std::string& path) override { return CreateHeldFile(path); }

  std::unique_ptr<WritableFile> OpenForRewrite(const std::string& path) override {
    const std::wstring wide = WideFromUtf8(path);
    const HANDLE handle = CreateFileW(wide.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) ThrowOpenFailure(wide);
    if (GetFileType(handle) != FILE_TYPE_DISK) {
      CloseHandle(handle);
      throw Failure(ErrorNumber::PathFileAccessError);
    }
    return StreamOver(handle, kRewritten);
  }

  bool Remove(const std::string& path) noexcept override {
    try {
      return DeleteFileW(WideFromUtf8(path).c_str()) != 0;
    } catch (...) {
      return false;
    }
  }

  // A temporary file of a run still writing is open without delete sharing, so it stays.
  bool RemoveAbandoned(const std::string& path) noexcept override { return Remove(path); }

  std::unique_ptr<FileLock> TryLock(const std::string& path) override { return TryLockFile(path); }

  // Links (reparse points) are not followed here: the owner of one is not known cheaply, so they are
  // refused as a link of another user is. Devices (NUL, CON, COM1) and folders are refused.
  std::string ResolveTarget(const std::string& path) override {
    const std::wstring wide = WideFromUtf8(path);
    const HANDLE handle = OpenToLookAt(wide, 0, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT);
    if (handle == INVALID_HANDLE_VALUE) {
      const DWORD error = GetLastError();
      if (IsMissing(error)) return path;
      throw FailureFromWindowsError(error);
    }
    BY_HANDLE_FILE_INFORMATION info{};
    const bool disk = GetFileType(handle) == FILE_TYPE_DISK && GetFileInformationByHandle(handle, &info);
    CloseHandle(handle);
    if (!disk || (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
      throw Failure(ErrorNumber::PathFileAccessError);
    if ((info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0)
      throw Failure(ErrorNumber::PermissionDenied);
    return path;
  }

  FileContents ReadRegularFile(const std::string& path, std::uintmax_t largest) override {
    FileContents contents;
    const HANDLE handle = OpenToLookAt(WideFromUtf8(path), GENERIC_READ, FILE_ATTRIBUTE_NORMAL);
    if (handle == INVALID_HANDLE_VALUE) {
      contents.state =
          IsMissing(GetLastError()) ? FileContents::State::Missing : FileContents::State::Unreadable;
      return contents;
    }
    contents.state = FileContents::State::Unreadable;
    LARGE_INTEGER size{};
    if (GetFileType(handle) == FILE_TYPE_DISK && GetFileSizeEx(handle, &size) &&
        static_cast<std::uintmax_t>(size.QuadPart) <= largest) {
      contents.bytes.resize(static_cast<std::size_t>(size.QuadPart));
      DWORD got = 0;
      if (contents.bytes.empty() || (ReadFile(handle, contents.bytes.data(),
                                              static_cast<DWORD>(contents.bytes.size()), &got, nullptr) &&
                                     got == contents.bytes.size())) {
        contents.state = FileContents::State::Read;
      }
    }
    CloseHandle(handle);
    if (contents.state != FileContents::State::Read) contents.bytes.clear();
    return contents;
  }

  bool IsWriteProtected(const std::string& path) override {
    const DWORD attributes = GetFileAttributesW(WideFromUtf8(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return false;
    return (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) != 0;
  }

  // Asks for what replacing the file needs, sharing everything: only a program that shares nothing (an
  // editor, a spreadsheet holding the phonebook) refuses it.
  bool IsHeldOpen(const std::string& path) override {
    const HANDLE handle = OpenToLookAt(WideFromUtf8(path), DELETE, FILE_ATTRIBUTE_NORMAL);
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
