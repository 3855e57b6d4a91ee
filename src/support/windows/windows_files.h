#pragma once
// The pieces of the Windows file system and the helpers they share.

#include <windows.h>

#include <memory>
#include <string>

#include "support/file_system.h"

namespace fernkartei::support {

// For StreamOver: a stream that writes an existing file anew and cuts it after its last byte.
inline constexpr int kRewritten = 0x40000000;

// What a failed CreateFileW means: a folder in the file's place gives the failure it gives elsewhere.
[[noreturn]] void ThrowOpenFailure(const std::wstring& path);
// A C stream over the handle, which it then owns; flags are those of _open_osfhandle, or kRewritten.
std::unique_ptr<WritableFile> StreamOver(HANDLE handle, int flags);
// See FileSystem::CreateNew.
std::unique_ptr<NewFile> CreateHeldFile(const std::string& path);
// See FileSystem::TryLock.
std::unique_ptr<FileLock> TryLockFile(const std::string& path);

}  // namespace fernkartei::support
