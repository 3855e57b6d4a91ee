#pragma once
// Export files as UTF-8 without a byte-order mark, every line ended by CR LF. Ill-formed UTF-8 that
// slipped in from a contact becomes U+FFFD, so the file a telephone system imports is always well-formed.
// Every write and the close are checked: a full disk or a vanished folder is a Failure, never a silently
// shortened file.

#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

namespace fernkartei::support {

class Utf8File {
 public:
  // Writes into a stream the caller keeps (standard output): Close flushes it but leaves it open.
  explicit Utf8File(std::FILE* borrowed);
  Utf8File(std::FILE* owned, std::string path);
  ~Utf8File();
  Utf8File(const Utf8File&) = delete;
  Utf8File& operator=(const Utf8File&) = delete;

  // The UTF-8 bytes of text, then CR LF when add_line_end is set. Throws Failure when a byte could not
  // be written; the file stays open and the caller decides what to do with it.
  void Write(std::string_view text, bool add_line_end);
  // Flushes, hands the bytes to the disk and closes. Throws Failure when any of it fails; the file is
  // closed either way.
  void Close();
  bool IsOpen() const { return file_ != nullptr; }
  const std::string& path() const { return path_; }

 private:
  void Check(bool ok);

  std::FILE* file_;
  bool owned_;
  std::string path_;
};

// Opens path for writing raw bytes at its end, creating it when missing; existing contents stay.
// Throws Failure (bad path, missing folder, no permission).
std::unique_ptr<Utf8File> Open_UTF8_File(const std::string& path);
void Write_UTF8_Text(Utf8File& file, std::string_view text, bool add_line_end);

// Creates path for writing only if no entry of that name exists yet; nullptr when one does.
// Throws Failure for every other reason.
std::unique_ptr<Utf8File> CreateNewUtf8File(const std::string& path);

// The Failure that fits the C library's errno after a failed file operation.
[[noreturn]] void ThrowFileFailure(int error_code);

}  // namespace fernkartei::support
