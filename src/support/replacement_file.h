#pragma once
// A file replaced only once its new contents are complete: they are written beside it under a temporary
// name and take its place in one step. Whatever ends the writing early (a cancelled run, a full disk, a
// failing close) leaves the old file exactly as it was, and no half-written file behind.

#include <memory>
#include <string>

#include "support/file_system.h"

namespace fernkartei::support {

class ReplacementFile {
 public:
  explicit ReplacementFile(std::string target, FileSystem& files = PlatformFileSystem());
  // Removes the temporary file unless Commit succeeded.
  ~ReplacementFile();
  ReplacementFile(const ReplacementFile&) = delete;
  ReplacementFile& operator=(const ReplacementFile&) = delete;

  // True when a file can be created in the target's folder and the target is neither a folder nor held
  // open by another program. A
  // write-protected old file is no obstacle: it is replaced as the old program replaced it, its
  // protection cleared. Leaves nothing behind.
  static bool CanReplace(const std::string& target, FileSystem& files = PlatformFileSystem());

  // Creates the temporary file. Throws Failure.
  WritableFile& Open();
  // Flushes, syncs and closes the temporary file, gives it the old file's access rights (writable for
  // its owner) and puts it in the target's place. Throws Failure; the target is untouched then and the
  // temporary file gone.
  void Commit();
  // Drops the temporary file, if any.
  void Discard();

  const std::string& temporary_path() const { return temporary_path_; }

 private:
  std::string target_;
  FileSystem& files_;
  std::string temporary_path_;
  std::unique_ptr<WritableFile> file_;
};

}  // namespace fernkartei::support
