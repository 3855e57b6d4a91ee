#include "contacts/vcard_bytes.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "contacts/vcard_text.h"
#include "support/failure.h"

namespace fernkartei::contacts {
namespace {

using support::ErrorNumber;
using support::Failure;

constexpr std::size_t kPiece = std::size_t{1} << 16;
// Enough to tell every form apart: a byte-order mark, or "BEG" in UTF-16.
constexpr std::size_t kHead = 6;

bool IsHighSurrogate(unsigned char first, unsigned char second, bool little_endian) {
  const unsigned char high_byte = little_endian ? second : first;
  return high_byte >= 0xD8 && high_byte <= 0xDB;
}

}  // namespace

std::size_t TextBytes::Read(char* into, std::size_t room) {
  const std::size_t count = std::min({room, piece_, rest_.size()});
  std::memcpy(into, rest_.data(), count);
  rest_.remove_prefix(count);
  return count;
}

FileBytes::FileBytes(const std::filesystem::path& file) {
  errno = 0;
  in_.open(file, std::ios::binary);
  if (!in_) {
    throw Failure(ErrorNumber::PathFileAccessError,
                  errno != 0 ? std::strerror(errno) : "kann nicht geöffnet werden");
  }
}

std::size_t FileBytes::Read(char* into, std::size_t room) {
  in_.read(into, static_cast<std::streamsize>(room));
  if (in_.bad()) throw Failure(ErrorNumber::DeviceIoError, "Lesefehler");
  return static_cast<std::size_t>(in_.gcount());
}

NormalizedBytes::NormalizedBytes(ByteSource& raw) : raw_(raw) {
  std::string head(kHead, '\0');
  std::size_t got = 0;
  while (got < kHead) {
    const std::size_t more = raw_.Read(head.data() + got, kHead - got);
    if (more == 0) break;
    got += more;
  }
  head.resize(got);
  const auto starts = [&](std::string_view prefix) { return std::string_view(head).starts_with(prefix); };
  if (starts("\xFF\xFE") || starts(std::string_view("B\0E\0G\0", 6))) {
    form_ = Form::Utf16LittleEndian;
    held_ = head.substr(starts("\xFF\xFE") ? 2 : 0);
  } else if (starts("\xFE\xFF") || starts(std::string_view("\0B\0E\0G", 6))) {
    form_ = Form::Utf16BigEndian;
    held_ = head.substr(starts("\xFE\xFF") ? 2 : 0);
  } else {
    ready_ = head.substr(starts("\xEF\xBB\xBF") ? 3 : 0);
  }
}

std::size_t NormalizedBytes::Read(char* into, std::size_t room) {
  if (ready_at_ < ready_.size()) return HandOut(into, room);
  if (form_ == Form::Utf8) return raw_.Read(into, room);
  while (ready_at_ == ready_.size() && !(raw_ended_ && held_.empty())) ConvertMore();
  return HandOut(into, room);
}

std::size_t NormalizedBytes::HandOut(char* into, std::size_t room) {
  const std::size_t count = std::min(room, ready_.size() - ready_at_);
  std::memcpy(into, ready_.data() + ready_at_, count);
  ready_at_ += count;
  return count;
}

// Converts what has arrived, holding back an odd last byte and a high surrogate whose partner may come
// with the next piece; at the end, whatever is held is converted as it is.
void NormalizedBytes::ConvertMore() {
  const bool little_endian = form_ == Form::Utf16LittleEndian;
  piece_.resize(kPiece);
  const std::size_t got = raw_ended_ ? 0 : raw_.Read(piece_.data(), kPiece);
  raw_ended_ = got == 0;
  held_.append(piece_.data(), got);
  std::size_t whole = raw_ended_ ? held_.size() : held_.size() - held_.size() % 2;
  if (!raw_ended_ && whole >= 2 &&
      IsHighSurrogate(static_cast<unsigned char>(held_[whole - 2]),
                      static_cast<unsigned char>(held_[whole - 1]), little_endian)) {
    whole -= 2;
  }
  ready_ = Utf16ToUtf8(std::string_view(held_).substr(0, whole), little_endian);
  ready_at_ = 0;
  held_.erase(0, whole);
}

}  // namespace fernkartei::contacts
