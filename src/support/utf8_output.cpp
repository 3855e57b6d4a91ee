#include "support/utf8_output.h"

#include <cerrno>

#include "support/failure.h"
#include "support/platform_files.h"
#include "support/text.h"

namespace fernkartei::support {
namespace {

// A 64 KiB stdio buffer turns the one-write-per-line pattern of an export into few system calls.
constexpr std::size_t kBufferSize = 64 * 1024;

void UseLargeBuffer(std::FILE* file) {
  std::setvbuf(file, nullptr, _IOFBF, kBufferSize);
}

// A lone UTF-16 surrogate that reached us encoded on its own (ED A0..BF xx, as text converted from a
// broken UTF-16 source carries it) stands for one character, so it becomes one U+FFFD, not three.
std::string ReplaceInvalid(std::string_view text) {
  std::string joined;
  joined.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto b0 = static_cast<unsigned char>(text[i]);
    if (b0 == 0xED && i + 2 < text.size()) {
      const auto b1 = static_cast<unsigned char>(text[i + 1]);
      const auto b2 = static_cast<unsigned char>(text[i + 2]);
      if (b1 >= 0xA0 && b1 <= 0xBF && b2 >= 0x80 && b2 <= 0xBF) {
        joined += "\xEF\xBF\xBD";
        i += 2;
        continue;
      }
    }
    joined += text[i];
  }
  return SanitizeUtf8(joined);
}

}  // namespace

void ThrowFileFailure(int error_code) {
  switch (error_code) {
    case ENOSPC:
      throw Failure(ErrorNumber::DiskFull);
    case EACCES:
    case EPERM:
    case EROFS:
      throw Failure(ErrorNumber::PermissionDenied);
    case ENOENT:
    case ENOTDIR:
      throw Failure(ErrorNumber::PathNotFound);
    case EISDIR:
      throw Failure(ErrorNumber::PathFileAccessError);
    default:
      throw Failure(ErrorNumber::DeviceIoError);
  }
}

Utf8File::Utf8File(std::FILE* borrowed) : file_(borrowed), owned_(false) {}

Utf8File::Utf8File(std::FILE* owned, std::string path) : file_(owned), owned_(true), path_(std::move(path)) {
  UseLargeBuffer(file_);
}

Utf8File::~Utf8File() {
  if (file_ != nullptr && owned_) std::fclose(file_);
}

void Utf8File::Check(bool ok) {
  if (!ok) ThrowFileFailure(errno);
}

void Utf8File::Write(std::string_view text, bool add_line_end) {
  if (file_ == nullptr) throw Failure(ErrorNumber::BadFileNameOrNumber);
  errno = 0;
  if (IsValidUtf8(text)) {
    Check(std::fwrite(text.data(), 1, text.size(), file_) == text.size());
  } else {
    const std::string clean = ReplaceInvalid(text);
    Check(std::fwrite(clean.data(), 1, clean.size(), file_) == clean.size());
  }
  if (add_line_end) Check(std::fwrite("\r\n", 1, 2, file_) == 2);
}

void Utf8File::Close() {
  if (file_ == nullptr) return;
  std::FILE* file = file_;
  file_ = nullptr;
  errno = 0;
  bool ok = std::fflush(file) == 0 && std::ferror(file) == 0;
  int error_code = errno;
  if (!owned_) {
    if (!ok) ThrowFileFailure(error_code);
    return;
  }
  if (ok && !SyncToDisk(file)) {
    ok = false;
    error_code = errno;
  }
  if (std::fclose(file) != 0 && ok) {
    ok = false;
    error_code = errno;
  }
  if (!ok) ThrowFileFailure(error_code);
}

std::unique_ptr<Utf8File> Open_UTF8_File(const std::string& path) {
  errno = 0;
  std::FILE* file = std::fopen(path.c_str(), "ab");
  if (file == nullptr) ThrowFileFailure(errno);
  return std::make_unique<Utf8File>(file, path);
}

void Write_UTF8_Text(Utf8File& file, std::string_view text, bool add_line_end) {
  file.Write(text, add_line_end);
}

std::unique_ptr<Utf8File> CreateNewUtf8File(const std::string& path) {
  errno = 0;
  // "x": fails instead of opening an entry that is already there, so no one else's file is touched.
  std::FILE* file = std::fopen(path.c_str(), "wbx");
  if (file == nullptr) {
    if (errno == EEXIST) return nullptr;
    ThrowFileFailure(errno);
  }
  return std::make_unique<Utf8File>(file, path);
}

}  // namespace fernkartei::support
