#pragma once
// A WritableFile over a stream its owner keeps open (standard output): Close only flushes it, and Sync
// leaves it to the owner. A stream that refuses the bytes (a full disk behind a redirection, a closed
// pipe) is a Failure like any file's.

#include <ostream>
#include <string_view>

#include "support/failure.h"
#include "support/file_system.h"

namespace fernkartei::support {

class StreamFile final : public WritableFile {
 public:
  explicit StreamFile(std::ostream& stream) : stream_(stream) {}

  void Write(std::string_view bytes) override {
    stream_.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    Check();
  }
  void Flush() override {
    stream_.flush();
    Check();
  }
  void Sync() override {}
  void Close() override { Flush(); }

 private:
  void Check() const {
    if (!stream_) throw Failure(ErrorNumber::DeviceIoError);
  }

  std::ostream& stream_;
};

}  // namespace fernkartei::support
