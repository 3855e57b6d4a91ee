#pragma once
// The calls that touch files, behind one small interface. Each platform has its real one (support/posix/,
// support/windows/); tests put in one that fails any single call, as a full disk, a refused permission or
// a failing commit would, without needing such a disk or another user. The comments say what each
// member means on Windows too.

#include <cstdint>
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

// A new file that is to take the place of another one in its folder. Only its owner may read it while it
// is written, and this process holds it from its creation until the object is destroyed (also after
// Close), so that no other run removes it as left over.
// Windows: the file has the rights it inherits from its folder, and is held until it is renamed.
class NewFile : public WritableFile {
 public:
  // Gives the file the owner, group, access rights, ACL and other extended attributes of `model` as far
  // as this process may set them, its owner's write permission added; the rights a newly created file
  // usually gets when `model` does not exist. Acts on the open file, never on a name.
  // Windows: the inherited security descriptor stays; hidden, system and archive of model are taken.
  virtual void TakeAttributesOf(const std::string& model) = 0;
  // Puts this file in the place of `target`, an entry of its own folder, in one step, once it is sure
  // that the name it was created under still names this file; then makes the new entry durable (sync of
  // the folder). Throws Failure; the target is untouched then.
  // Windows: after Close, MoveFileEx with MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH, a
  // read-only target's flag cleared first.
  virtual void ReplaceTarget(const std::string& target) = 0;
};

// A lock between processes, held as long as the object lives.
class FileLock {
 public:
  virtual ~FileLock() = default;
};

// A whole regular file read into memory.
struct FileContents {
  enum class State { Read, Missing, Unreadable };
  State state = State::Missing;
  std::string bytes;
};

class FileSystem {
 public:
  virtual ~FileSystem() = default;
  // Opens for writing at the end, creating the file when it is missing.
  virtual std::unique_ptr<WritableFile> OpenForAppend(const std::string& path) = 0;
  // Creates a file that does not exist yet, readable and writable by its owner only, and holds it (see
  // NewFile). nullptr, touching nothing of others, when an entry of that name exists or another process
  // got hold of it first.
  // Windows: CREATE_NEW, shared for reading only, so that RemoveAbandoned of another run fails on it.
  virtual std::unique_ptr<NewFile> CreateNew(const std::string& path) = 0;
  // Opens an existing regular file to write its contents anew from the first byte; Flush and Close cut
  // off what is left of the old contents. For a file whose folder takes no new files.
  // Windows: OPEN_EXISTING, the file cut with _chsize_s at Flush and Close.
  virtual std::unique_ptr<WritableFile> OpenForRewrite(const std::string& path) = 0;
  // False when the file could not be removed.
  virtual bool Remove(const std::string& path) noexcept = 0;
  // Removes a regular file of the user running the program that no process holds: one left behind by a
  // run that ended early. False when it is held, someone else's, or not there.
  // Windows: DeleteFile, which fails on a file that is open without delete sharing.
  virtual bool RemoveAbandoned(const std::string& path) noexcept = 0;
  // Takes the lock whose file is `path`, creating the file when it is missing, without waiting; nullptr
  // when another process holds it. The file goes when the lock ends. Throws Failure when the file cannot
  // be made.
  // Windows: the file opened with no sharing and FILE_FLAG_DELETE_ON_CLOSE.
  virtual std::unique_ptr<FileLock> TryLock(const std::string& path) = 0;
  // Where the contents meant by `path` live: `path` itself for a regular file or a missing entry; for a
  // symbolic link owned by the user running the program or by the administrator, the final target of its
  // chain of links. Throws Failure: PermissionDenied for a link owned by anyone else, PathFileAccessError
  // for anything that is not a regular file (folder, device, FIFO, socket).
  // Windows: links (reparse points) are refused as links of another user are, their owner not being
  // known cheaply; device names (NUL, CON, COM1) are refused as devices.
  virtual std::string ResolveTarget(const std::string& path) = 0;
  // The bytes of the regular file at `path` (links followed) when it has at most `largest` of them;
  // Unreadable for anything else, without waiting for a FIFO or reading a device.
  // Windows: GetFileType must be FILE_TYPE_DISK.
  virtual FileContents ReadRegularFile(const std::string& path, std::uintmax_t largest) = 0;
  // True for an existing entry whose contents may not be replaced: a write-protected file, or no file.
  virtual bool IsWriteProtected(const std::string& path) = 0;
  // True when another program holds the file open in a way that keeps it from being replaced now (on
  // Windows, opened without sharing; elsewhere an open file never stands in the way).
  virtual bool IsHeldOpen(const std::string& path) = 0;
};

// The real file system of this platform.
FileSystem& PlatformFileSystem();

}  // namespace fernkartei::support
