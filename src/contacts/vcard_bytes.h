#pragma once
// Where the vCard reader's bytes come from, piece by piece: a file is never held whole, so that an
// address book of any size (photos and all) is read in a few megabytes.

#include <cstddef>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

namespace fernkartei::contacts {

class ByteSource {
 public:
  virtual ~ByteSource() = default;
  // Up to `room` (> 0) bytes into `into`; 0 only at the end. Throws support::Failure when the bytes
  // cannot be read.
  virtual std::size_t Read(char* into, std::size_t room) = 0;
};

// A text already in memory (a server's answer, a test's card), handed out at most `piece` bytes at a
// time.
class TextBytes final : public ByteSource {
 public:
  explicit TextBytes(std::string_view text, std::size_t piece = static_cast<std::size_t>(-1))
      : rest_(text), piece_(piece) {}
  std::size_t Read(char* into, std::size_t room) override;

 private:
  std::string_view rest_;
  std::size_t piece_;
};

// A file, read as the reader asks for it.
class FileBytes final : public ByteSource {
 public:
  // Throws support::Failure with the reason when the file cannot be opened.
  explicit FileBytes(const std::filesystem::path& file);
  std::size_t Read(char* into, std::size_t room) override;

 private:
  std::ifstream in_;
};

// The bytes of another source as the reader wants them: a UTF-8 byte-order mark dropped, UTF-16 (with its
// byte-order mark, or known by the zero bytes around "BEGIN") turned into UTF-8, so that the reader only
// ever sees 8-bit text. The same as NormalizeFileBytes over the whole text, whatever the pieces.
class NormalizedBytes final : public ByteSource {
 public:
  explicit NormalizedBytes(ByteSource& raw);
  std::size_t Read(char* into, std::size_t room) override;

 private:
  enum class Form { Utf8, Utf16LittleEndian, Utf16BigEndian };
  std::size_t HandOut(char* into, std::size_t room);
  void ConvertMore();

  ByteSource& raw_;
  Form form_ = Form::Utf8;
  std::string ready_;  // converted bytes not yet handed out, from ready_at_ on
  std::size_t ready_at_ = 0;
  std::string held_;   // UTF-16 bytes that wait for the rest of their character
  std::string piece_;  // what was read last; kept, so that each read goes into the same memory
  bool raw_ended_ = false;
};

}  // namespace fernkartei::contacts
