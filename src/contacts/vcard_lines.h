#pragma once
// The physical lines of a vCard file, read from a byte source as they are needed. CR LF, LF and a lone CR
// all end a line. Only the line handed out last and the one after it are held, so memory does not grow
// with the file; a line longer than kLongestLine is cut there and the rest of it is read past.

#include <cstddef>
#include <string_view>
#include <vector>

#include "contacts/vcard_bytes.h"

namespace fernkartei::contacts {

class LineReader {
 public:
  // Far beyond any name or number; a longer line is an embedded photo, a sound or damage.
  static constexpr std::size_t kLongestLine = std::size_t{1} << 20;

  explicit LineReader(ByteSource& source, std::size_t piece = std::size_t{1} << 16);

  bool AtEnd() const { return !has_next_; }
  std::size_t NextLineNumber() const { return line_ + 1; }
  // The next line, without taking it; valid until Next is called.
  std::string_view Peek() const { return View(next_); }
  // True when the next line was longer than kLongestLine: Peek and Next give its beginning only.
  bool PeekCut() const { return next_.cut; }
  // Takes the next line; it stays valid until the following call of Next.
  std::string_view Next();

 private:
  struct Span {
    std::size_t begin = 0;
    std::size_t end = 0;
    bool cut = false;
  };

  std::string_view View(const Span& span) const {
    return std::string_view(buffer_.data() + span.begin, span.end - span.begin);
  }
  void FindNextLine();
  void ReadPastRestOfLine(std::size_t kept_end);
  bool ReadPiece();
  std::size_t FindLineEnd(std::size_t from) const;

  ByteSource& source_;
  std::size_t piece_;  // the largest piece read at once
  std::size_t next_piece_ = 4096;
  std::vector<char> buffer_;
  std::size_t filled_ = 0;   // bytes of buffer_ that hold data
  std::size_t start_ = 0;    // where the line after next_ begins
  std::size_t scanned_ = 0;  // how far the search for the end of the next line has got
  Span current_;             // the line handed out last
  Span next_;
  bool has_next_ = false;
  bool source_ended_ = false;
  bool line_feed_belongs_to_last_ = false;  // the last line ended in CR: a LF right after is part of that end
  std::size_t line_ = 0;
};

}  // namespace fernkartei::contacts
