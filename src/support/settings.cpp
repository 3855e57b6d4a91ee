#include "support/settings.h"

#include <algorithm>
#include <optional>
#include <utility>

#include "support/atomic_replace.h"
#include "support/failure.h"
#include "support/process_state.h"
#include "support/profile_text.h"
#include "support/text.h"

namespace fernkartei::support {
namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
// The old reader's buffer held 255 characters, one of them the terminating NUL.
constexpr std::size_t kMaxValueCharacters = 254;

// Far beyond any settings file; anything larger is something else and is not read.
constexpr std::uintmax_t kLargestFile = std::uintmax_t{1} << 20;

// The file's bytes; nothing when it cannot be read (a FIFO, a device, a folder, too large), empty when
// it does not exist.
std::optional<std::string> ReadSettingsFile(const std::string& path, FileSystem& files) {
  FileContents file = files.ReadRegularFile(path, kLargestFile);
  if (file.state == FileContents::State::Unreadable) return std::nullopt;
  return std::move(file.bytes);
}

// The file is Windows-1252 as the old program wrote it. One that an editor saved as UTF-8 is read, and
// written back, as UTF-8: with a byte order mark, or without one when its bytes are valid UTF-8 and not
// all ASCII (Windows-1252 text with umlauts is practically never valid UTF-8).
struct Encoding {
  bool utf8 = false;
  bool bom = false;
  std::string ToFile(std::string_view text) const {
    return utf8 ? std::string(text) : Utf8ToWindows1252(text);
  }
  std::string FromFile(std::string_view bytes) const {
    return utf8 ? SanitizeUtf8(bytes) : Windows1252ToUtf8(bytes);
  }
  std::string_view Body(std::string_view file) const { return file.substr(bom ? kUtf8Bom.size() : 0); }
};

Encoding EncodingOf(std::string_view file) {
  if (file.starts_with(kUtf8Bom)) return Encoding{true, true};
  return Encoding{!IsAscii(file) && IsValidUtf8(file), false};
}

// A value holds no line break: one would end its line in the file and start another key there. What
// follows the first break is dropped, as a single-line text box drops it.
std::string_view FirstLine(std::string_view value) {
  return value.substr(0, value.find_first_of("\r\n"));
}

std::string FirstCharacters(std::string_view utf8, std::size_t count) {
  std::size_t pos = 0;
  for (std::size_t n = 0; n < count && pos < utf8.size(); ++n) {
    ++pos;
    while (pos < utf8.size() && (static_cast<unsigned char>(utf8[pos]) & 0xC0) == 0x80) ++pos;
  }
  return std::string(utf8.substr(0, pos));
}

}  // namespace

SettingsFile::SettingsFile(std::string path, ErrorLog log, FileSystem& files)
    : path_(std::move(path)), log_(std::move(log)), files_(&files) {}

// As the old reader did it: the value (or the default) goes into a buffer of 254 characters and a
// terminating NUL, leading blanks of the whole buffer are removed, and what stands before the first NUL
// is the result. Trailing blanks stay, as the buffer always ends in NUL.
std::string SettingsFile::Get(std::string_view section, std::string_view key,
                              std::string_view default_value) const {
  try {
    std::optional<std::string> stored;
    if (const auto file = ReadSettingsFile(path_, *files_)) {
      const Encoding encoding = EncodingOf(*file);
      if (const auto value =
              FindProfileValue(encoding.Body(*file), encoding.ToFile(section), encoding.ToFile(key))) {
        stored = encoding.FromFile(*value);
      }
    }
    const std::string copied = FirstCharacters(stored ? *stored : Trim(default_value), kMaxValueCharacters);
    if (copied.empty()) return std::string(default_value);
    std::string_view buffer = copied;
    buffer.remove_prefix(std::min(buffer.find_first_not_of(' '), buffer.size()));
    return std::string(buffer.substr(0, buffer.find('\0')));
  } catch (...) {
    return std::string(default_value);
  }
}

void SettingsFile::Write(std::string_view section, std::string_view key, std::string_view value) const {
  try {
    // A file that exists but cannot be read is not overwritten with this one key: that would lose
    // every other setting in it.
    const auto file = ReadSettingsFile(path_, *files_);
    if (!file) return;
    const Encoding encoding = EncodingOf(*file);
    const std::string updated = std::string(encoding.bom ? kUtf8Bom : "") +
                                SetProfileValue(encoding.Body(*file), encoding.ToFile(section),
                                                encoding.ToFile(key), encoding.ToFile(FirstLine(value)));
    // A settings file that may not be written is skipped silently, as the program always did; only a
    // real I/O failure is worth an entry in the log.
    if (ReplaceFileContents(path_, updated, *files_) == ReplaceResult::Failed) {
      throw Failure(ErrorNumber::DeviceIoError);
    }
  } catch (const Failure& failure) {
    log_.Write("Hauptmodul!Sub Write_INI()", failure, 3);
  } catch (const std::exception& e) {
    log_.Write("Hauptmodul!Sub Write_INI()", Failure(ErrorNumber::DeviceIoError, e.what()), 3);
  }
}

std::string Get_InI(std::string_view section, std::string_view key, std::string_view default_value) {
  return SettingsFile(INI_Path, ProgramErrorLog()).Get(section, key, default_value);
}

void Write_INI(std::string_view section, std::string_view key, std::string_view value) {
  SettingsFile(INI_Path, ProgramErrorLog()).Write(section, key, value);
}

}  // namespace fernkartei::support
