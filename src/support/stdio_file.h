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

}  // namespace fernkartei::support
