#include "support/console_output.h"

#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdio>
#include <iostream>
#include <streambuf>
#include <string>

#include "support/windows/wide_text.h"

namespace fernkartei::support {
namespace {

// Writes straight to the handle, without a buffer of its own, so nothing is left unwritten when the
// program ends. Only a UTF-8 sequence cut at the end of one write waits for the rest of it.
class StandardStreamBuffer : public std::streambuf {
 public:
  explicit StandardStreamBuffer(DWORD which) : handle_(GetStdHandle(which)) {
    DWORD mode = 0;
    console_ = handle_ != nullptr && handle_ != INVALID_HANDLE_VALUE && GetConsoleMode(handle_, &mode);
  }

 protected:
  int_type overflow(int_type c) override {
    if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
    const char byte = traits_type::to_char_type(c);
    return xsputn(&byte, 1) == 1 ? c : traits_type::eof();
  }

  std::streamsize xsputn(const char* bytes, std::streamsize count) override {
    pending_.append(bytes, static_cast<std::size_t>(count));
    const std::size_t complete = CompletePart(pending_);
    const bool ok = Write(std::string_view(pending_).substr(0, complete));
    pending_.erase(0, complete);
    return ok ? count : 0;
  }

 private:
  // The length of the text up to a UTF-8 sequence that is still missing bytes at its end.
  static std::size_t CompletePart(const std::string& text) {
    std::size_t start = text.size();
    for (std::size_t back = 1; back <= 3 && back <= text.size(); ++back) {
      const auto byte = static_cast<unsigned char>(text[text.size() - back]);
      if ((byte & 0xC0) == 0x80) continue;  // a continuation byte: look further back
      const std::size_t length = byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : byte >= 0xC0 ? 2 : 1;
      if (length > back) start = text.size() - back;
      break;
    }
    return start;
  }

  bool Write(std::string_view utf8) {
    if (utf8.empty()) return true;
    if (console_) {
      const std::wstring wide = WideFromUtf8(utf8);
      DWORD written = 0;
      return WriteConsoleW(handle_, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr) != 0;
    }
    while (!utf8.empty()) {
      DWORD written = 0;
      if (!WriteFile(handle_, utf8.data(), static_cast<DWORD>(utf8.size()), &written, nullptr) ||
          written == 0)
        return false;
      utf8.remove_prefix(written);
    }
    return true;
  }

  HANDLE handle_;
  bool console_ = false;
  std::string pending_;
};

}  // namespace

void UseUtf8StandardStreams() {
  // What goes through stdio (the export itself with "--output -") is bytes: no CR before each LF.
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
  // Never destroyed: the streams are flushed at exit after every static object of ours is gone.
  static auto* out = new StandardStreamBuffer(STD_OUTPUT_HANDLE);
  static auto* err = new StandardStreamBuffer(STD_ERROR_HANDLE);
  std::cout.rdbuf(out);
  std::cerr.rdbuf(err);
}

}  // namespace fernkartei::support
