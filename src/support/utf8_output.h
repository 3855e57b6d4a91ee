#pragma once
// Export files as UTF-8 without a byte-order mark, every line ended by CR LF. Ill-formed UTF-8 that
// slipped in from a contact becomes U+FFFD, so the file a telephone system imports is always well-formed.
// Every write and the close are checked: a full disk or a vanished folder is a Failure, never a silently
// shortened file.

#include <memory>
#include <string>
#include <string_view>

#include "support/file_system.h"

namespace fernkartei::support {

class Utf8File {
 public:
  // Writes into a file its owner closes (a replacement file, standard output): Close only flushes it.
  explicit Utf8File(WritableFile& borrowed);
  // Owns the file: Close flushes, syncs and closes it.
  Utf8File(std::unique_ptr<WritableFile> owned, std::string path);
  Utf8File(const Utf8File&) = delete;
  Utf8File& operator=(const Utf8File&) = delete;

  // The UTF-8 bytes of text, then CR LF when add_line_end is set. Throws Failure when a byte could not
  // be written; the file stays open and the caller decides what to do with it.
  void Write(std::string_view text, bool add_line_end);
  // Throws Failure when any of it fails; an owned file is closed either way.
  void Close();
  bool IsOpen() const { return file_ != nullptr; }
  const std::string& path() const { return path_; }

 private:
  std::unique_ptr<WritableFile> owned_;
  WritableFile* file_;
  std::string path_;
};

// Opens path for writing raw bytes at its end, creating it when missing; existing contents stay.
// Throws Failure (bad path, missing folder, no permission).
std::unique_ptr<Utf8File> Open_UTF8_File(const std::string& path, FileSystem& files = PlatformFileSystem());
void Write_UTF8_Text(Utf8File& file, std::string_view text, bool add_line_end);

}  // namespace fernkartei::support
