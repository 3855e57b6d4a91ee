// The new file that replaces another one, and the lock beside a target, with the system's own calls. A
// file opened without delete sharing cannot be deleted by another run; a lock file opened without any
// sharing and deleted on close is held exactly as long as its handle, also when the process is killed.

#include <fcntl.h>
#include <io.h>

#include "support/failure.h"
#include "support/stdio_file.h"
#include "support/windows/wide_text.h"
#include "support/windows/windows_failure.h"
#include "support/windows/windows_files.h"

namespace fernkartei::support {
namespace {

constexpr DWORD kKeptAttributes = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE;

// Written through a C stream over its handle; renamed by name once closed, since the system renames an
// open file only for a handle opened for deletion, which would let other runs delete it too.
class WindowsNewFile final : public NewFile {
 public:
  WindowsNewFile(std::wstring path, std::unique_ptr<WritableFile> stream)
      : path_(std::move(path)), stream_(std::move(stream)) {}

  void Write(std::string_view bytes) override { stream_->Write(bytes); }
  void Flush() override { stream_->Flush(); }
  void Sync() override { stream_->Sync(); }
  void Close() override { stream_->Close(); }

  // The security descriptor a new file inherits from its folder stays; hidden, system and archive go
  // along, and the file stays writable.
  void TakeAttributesOf(const std::string& model) override {
    const DWORD attributes = GetFileAttributesW(WideFromUtf8(model).c_str());
    attributes_ = attributes == INVALID_FILE_ATTRIBUTES ? 0 : attributes & kKeptAttributes;
  }

  // A write-protected old file is replaced as the old program replaced it: its read-only flag cleared.
  void ReplaceTarget(const std::string& target) override {
    stream_->Close();
    if (attributes_ != 0 && !SetFileAttributesW(path_.c_str(), attributes_)) ThrowLastWindowsError();
    const std::wstring wide = WideFromUtf8(target);
    const DWORD old = GetFileAttributesW(wide.c_str());
    if (old != INVALID_FILE_ATTRIBUTES && (old & FILE_ATTRIBUTE_READONLY) != 0)
      SetFileAttributesW(wide.c_str(), old & ~FILE_ATTRIBUTE_READONLY);
    if (!MoveFileExW(path_.c_str(), wide.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
      const DWORD error = GetLastError();
      if (old != INVALID_FILE_ATTRIBUTES) SetFileAttributesW(wide.c_str(), old);
      throw FailureFromWindowsError(error);
    }
  }

 private:
  std::wstring path_;
  std::unique_ptr<WritableFile> stream_;
  DWORD attributes_ = 0;
};

class WindowsLock final : public FileLock {
 public:
  explicit WindowsLock(HANDLE handle) : handle_(handle) {}
  ~WindowsLock() override { CloseHandle(handle_); }

 private:
  HANDLE handle_;
};

}  // namespace

[[noreturn]] void ThrowOpenFailure(const std::wstring& path) {
  const DWORD error = GetLastError();
  const DWORD attributes = GetFileAttributesW(path.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
    throw Failure(ErrorNumber::PathFileAccessError);
  throw FailureFromWindowsError(error);
}

std::unique_ptr<WritableFile> StreamOver(HANDLE handle, int flags) {
  const int descriptor =
      _open_osfhandle(reinterpret_cast<intptr_t>(handle), (flags & ~kRewritten) | _O_BINARY);
  if (descriptor < 0) {
    CloseHandle(handle);
    throw Failure(ErrorNumber::DeviceIoError);
  }
  std::FILE* stream = _fdopen(descriptor, (flags & _O_APPEND) != 0 ? "ab" : "wb");
  if (stream == nullptr) {
    _close(descriptor);
    throw Failure(ErrorNumber::DeviceIoError);
  }
  if ((flags & kRewritten) != 0) return std::make_unique<RewrittenFile>(stream);
  return std::make_unique<StdioFile>(stream, true);
}

// CREATE_NEW, because the C runtime's "x" mode is ignored here and would truncate someone's file.
std::unique_ptr<NewFile> CreateHeldFile(const std::string& path) {
  const std::wstring wide = WideFromUtf8(path);
  const HANDLE handle = CreateFileW(wide.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    if (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS) return nullptr;
    SetLastError(error);
    ThrowOpenFailure(wide);
  }
  return std::make_unique<WindowsNewFile>(wide, StreamOver(handle, 0));
}

std::unique_ptr<FileLock> TryLockFile(const std::string& path) {
  const HANDLE handle = CreateFileW(WideFromUtf8(path).c_str(), GENERIC_READ | DELETE, 0, nullptr,
                                    OPEN_ALWAYS, FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
  if (handle != INVALID_HANDLE_VALUE) return std::make_unique<WindowsLock>(handle);
  const DWORD error = GetLastError();
  // Held by another run, or just being deleted by the one that held it; a folder that takes no new
  // files refuses with the same access error, but then there is no such file.
  if (error == ERROR_SHARING_VIOLATION) return nullptr;
  if (error == ERROR_ACCESS_DENIED &&
      GetFileAttributesW(WideFromUtf8(path).c_str()) != INVALID_FILE_ATTRIBUTES)
    return nullptr;
  throw FailureFromWindowsError(error);
}

}  // namespace fernkartei::support
