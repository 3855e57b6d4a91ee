#pragma once
// A file replaced only once its new contents are complete: they are written beside it under a temporary
// name and take its place in one step. Whatever ends the writing early (a cancelled run, a full disk, a
// failing close) leaves the old file exactly as it was, and no half-written file behind.

#include <chrono>
#include <memory>
#include <string>

#include "support/file_system.h"

namespace fernkartei::support {

class ReplacementFile {
 public:
  // How long a run waits for another run that replaces the same file before it gives up.
  static constexpr std::chrono::milliseconds kLockWait{5000};

  explicit ReplacementFile(std::string target, FileSystem& files = PlatformFileSystem(),
                           std::chrono::milliseconds lock_wait = kLockWait);
  // Removes the temporary file unless Commit succeeded.
  ~ReplacementFile();
  ReplacementFile(const ReplacementFile&) = delete;
  ReplacementFile& operator=(const ReplacementFile&) = delete;

  // Finds the file meant (the final target of the user's own symbolic links), takes the lock beside it,
  // waiting a little for another run that replaces the same file, and removes the temporary files that
  // earlier runs of this user left behind there. Throws Failure for a link of another user, for anything
  // but a regular file (folder, device, FIFO, socket), for a file another program holds open without
  // sharing it, and when the other run does not finish in time. A
  // missing folder is left for Open to report. A write-protected old file is no obstacle: it is replaced
  // as the old program replaced it, its protection cleared.
  void Prepare();
  // Prepares when that was not done, and creates the temporary file. Throws Failure.
  WritableFile& Open();
  // Flushes the temporary file, gives it the old file's owner, group, rights and extended attributes
  // (writable for its owner), syncs and closes it, puts it in the target's place and syncs the folder.
  // Throws Failure; the target is untouched then and the temporary file gone.
  void Commit();
  // Drops the temporary file, if any, and the lock.
  void Discard();

  // The file that is replaced: the path given, or the final target of its links.
  const std::string& target() const { return target_; }
  const std::string& temporary_path() const { return temporary_path_; }

 private:
  void RemoveAbandonedTemporaries();
  void DropTemporary();

  std::string target_;
  FileSystem& files_;
  std::chrono::milliseconds lock_wait_;
  bool prepared_ = false;
  std::unique_ptr<FileLock> lock_;
  std::string temporary_path_;
  std::unique_ptr<NewFile> file_;
};

}  // namespace fernkartei::support
