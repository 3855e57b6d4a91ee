#pragma once
// A WritableFile over a C stream, the way every platform's file system opens its files.

#include <cstdio>

#include "support/file_system.h"

namespace fernkartei::support {

class StdioFile final : public WritableFile {
 public:
  // An owned stream is closed by Close (or, errors unheard, by the destructor). A borrowed one (standard
  // output) stays open: Close only flushes it, and Sync leaves it to its owner.
  StdioFile(std::FILE* stream, bool owned);
  ~StdioFile() override;
  StdioFile(const StdioFile&) = delete;
  StdioFile& operator=(const StdioFile&) = delete;

  void Write(std::string_view bytes) override;
  void Flush() override;
  void Sync() override;
  void Close() override;

 private:
  std::FILE* stream_;
  bool owned_;
};

// A stream over an existing file that is written anew from its first byte: Flush and Close cut the file
// after the last byte written, so that a shorter text leaves nothing of the longer one behind.
class RewrittenFile final : public WritableFile {
 public:
  explicit RewrittenFile(std::FILE* stream) : stream_(stream), file_(stream, true) {}
  void Write(std::string_view bytes) override { file_.Write(bytes); }
  void Flush() override;
  void Sync() override { file_.Sync(); }
  void Close() override;

 private:
  std::FILE* stream_;
  StdioFile file_;
};

}  // namespace fernkartei::support
