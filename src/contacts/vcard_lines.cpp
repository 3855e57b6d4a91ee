#include "contacts/vcard_lines.h"

#include <algorithm>
#include <cstring>

namespace fernkartei::contacts {

LineReader::LineReader(ByteSource& source, std::size_t piece)
    : source_(source), piece_(std::max<std::size_t>(piece, 1)) {
  FindNextLine();
}

std::string_view LineReader::Next() {
  current_ = next_;
  ++line_;
  FindNextLine();
  return View(current_);  // after the search, which may have moved the bytes
}

std::size_t LineReader::FindLineEnd(std::size_t from) const {
  for (std::size_t i = from; i < filled_; ++i) {
    if (buffer_[i] == '\n' || buffer_[i] == '\r') return i;
  }
  return filled_;
}

void LineReader::FindNextLine() {
  scanned_ = start_;
  for (;;) {
    if (line_feed_belongs_to_last_ && start_ < filled_) {
      if (buffer_[start_] == '\n') scanned_ = ++start_;
      line_feed_belongs_to_last_ = false;
    }
    const std::size_t end = FindLineEnd(scanned_);
    if (end < filled_) {
      next_ = {start_, end, false};
      line_feed_belongs_to_last_ = buffer_[end] == '\r';
      start_ = scanned_ = end + 1;
      has_next_ = true;
      return;
    }
    if (filled_ - start_ > kLongestLine) {
      ReadPastRestOfLine(start_ + kLongestLine);
      return;
    }
    scanned_ = filled_;
    if (!ReadPiece()) {
      line_feed_belongs_to_last_ = false;
      has_next_ = start_ < filled_;
      next_ = {start_, filled_, false};
      start_ = scanned_ = filled_;
      return;
    }
  }
}

// Keeps the beginning of an overlong line up to kept_end and drops the rest of it, piece by piece, so
// that a line of any length costs no more than kLongestLine.
void LineReader::ReadPastRestOfLine(std::size_t kept_end) {
  const std::size_t kept = kept_end - start_;
  for (;;) {
    const std::size_t end = FindLineEnd(start_ + kept);
    if (end < filled_) {
      const bool carriage_return = buffer_[end] == '\r';
      std::memmove(buffer_.data() + start_ + kept, buffer_.data() + end + 1, filled_ - end - 1);
      filled_ -= end + 1 - (start_ + kept);
      line_feed_belongs_to_last_ = carriage_return;
      break;
    }
    filled_ = start_ + kept;
    if (!ReadPiece()) break;
  }
  next_ = {start_, start_ + kept, true};
  start_ = scanned_ = start_ + kept;
  has_next_ = true;
}

// Appends one piece of the source; first drops what lies before the line handed out last, which nobody
// looks at any more. Pieces start small and grow, so that a short text (one card of a server's answer)
// costs little.
bool LineReader::ReadPiece() {
  if (source_ended_) return false;
  const std::size_t piece = std::min(next_piece_, piece_);
  next_piece_ = piece * 2;
  if (buffer_.size() - filled_ < piece) {
    const std::size_t done = std::min(current_.begin, start_);
    if (done > 0) {
      std::memmove(buffer_.data(), buffer_.data() + done, filled_ - done);
      filled_ -= done;
      start_ -= done;
      scanned_ -= done;
      current_.begin -= done;
      current_.end -= done;
    }
    if (buffer_.size() - filled_ < piece) buffer_.resize(filled_ + piece);
  }
  const std::size_t got = source_.Read(buffer_.data() + filled_, piece);
  filled_ += got;
  source_ended_ = got == 0;
  return got > 0;
}

}  // namespace fernkartei::contacts
