#include "support/stdio_file.h"

#include <cerrno>

#include "support/failure.h"
#include "support/platform_files.h"

namespace fernkartei::support {
namespace {

// A 64 KiB buffer turns the one-write-per-line pattern of an export into few system calls.
constexpr std::size_t kBufferSize = 64 * 1024;

std::FILE* Open(std::FILE* stream) {
  if (stream == nullptr) throw Failure(ErrorNumber::BadFileNameOrNumber);
  return stream;
}

}  // namespace

StdioFile::StdioFile(std::FILE* stream, bool owned) : stream_(Open(stream)), owned_(owned) {
  if (owned_) std::setvbuf(stream_, nullptr, _IOFBF, kBufferSize);
}

StdioFile::~StdioFile() {
  if (stream_ != nullptr && owned_) std::fclose(stream_);
}

void StdioFile::Write(std::string_view bytes) {
  if (stream_ == nullptr) throw Failure(ErrorNumber::BadFileNameOrNumber);
  errno = 0;
  if (std::fwrite(bytes.data(), 1, bytes.size(), stream_) != bytes.size()) ThrowFileFailure(errno);
}

void StdioFile::Flush() {
  if (stream_ == nullptr) throw Failure(ErrorNumber::BadFileNameOrNumber);
  errno = 0;
  if (std::fflush(stream_) != 0 || std::ferror(stream_) != 0) ThrowFileFailure(errno);
}

void StdioFile::Sync() {
  if (stream_ == nullptr) throw Failure(ErrorNumber::BadFileNameOrNumber);
  errno = 0;
  if (owned_ && !SyncToDisk(stream_)) ThrowFileFailure(errno);
}

void StdioFile::Close() {
  if (stream_ == nullptr) return;
  std::FILE* stream = stream_;
  stream_ = nullptr;
  errno = 0;
  if (!owned_) {
    if (std::fflush(stream) != 0 || std::ferror(stream) != 0) ThrowFileFailure(errno);
    return;
  }
  if (std::fclose(stream) != 0) ThrowFileFailure(errno);
}

void RewrittenFile::Flush() {
  file_.Flush();
  errno = 0;
  if (!CutAtPosition(stream_)) ThrowFileFailure(errno);
}

void RewrittenFile::Close() {
  try {
    Flush();
  } catch (...) {
    file_.Close();
    throw;
  }
  file_.Close();
}

}  // namespace fernkartei::support
