#pragma once
// The calls that write files, behind one small interface. Each platform has its real one (support/posix/,
// support/windows/); tests put in one that fails any single call, as a full disk, a refused permission or
// a failing commit would, without needing such a disk or another user.

#include <memory>
#include <string>
#include <string_view>

namespace fernkartei::support {

// A file open for writing. Each call throws Failure when the system reports a failure.
class WritableFile {
 public:
  virtual ~WritableFile() = default;
  virtual void Write(std::string_view bytes) = 0;
  // Hands what is buffered to the system.
  virtual void Flush() = 0;
  // Has the system put the bytes on the storage device, so that a file put in place afterwards is
  // complete even after a power cut.
  virtual void Sync() = 0;
  // The file is closed afterwards even when this throws.
  virtual void Close() = 0;
};

class FileSystem {
 public:
  virtual ~FileSystem() = default;
  // Opens for writing at the end, creating the file when it is missing.
  virtual std::unique_ptr<WritableFile> OpenForAppend(const std::string& path) = 0;
  // Creates a file that does not exist yet; nullptr, touching nothing, when an entry of that name exists.
  virtual std::unique_ptr<WritableFile> CreateNew(const std::string& path) = 0;
  // Puts the file `from` in the place of `to` in one step, replacing what was there.
  virtual void Replace(const std::string& from, const std::string& to) = 0;
  // False when the file could not be removed.
  virtual bool Remove(const std::string& path) noexcept = 0;
  // Gives `path` the access rights of the file `model`, writable for its owner; nothing when model does
  // not exist.
  virtual void CopyAccessRights(const std::string& model, const std::string& path) = 0;
  // True for an existing entry whose contents may not be replaced: a write-protected file, or no file.
  virtual bool IsWriteProtected(const std::string& path) = 0;
  // True when another program holds the file open in a way that keeps it from being replaced now (on
  // Windows, opened without sharing; elsewhere an open file never stands in the way).
  virtual bool IsHeldOpen(const std::string& path) = 0;
};

// The real file system of this platform.
FileSystem& PlatformFileSystem();

}  // namespace fernkartei::support
