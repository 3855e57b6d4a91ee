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
constexpr std::string_view kUtf16LeBom = "\xFF\xFE";
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

// The file is Windows-1252 as the old program wrote it. One an editor saved otherwise is read and written
// back in its own form: UTF-8 with a byte-order mark, UTF-16 little-endian (Notepad's "Unicode"), which
// Windows' own reader takes too, or UTF-8 without a mark (what Linux editors save), known by bytes that
// are valid UTF-8 and not all ASCII: Windows-1252 text with umlauts practically never is. All are
// searched as UTF-8 text.
class Encoding {
 public:
  explicit Encoding(std::string_view file) {
    if (file.starts_with(kUtf8Bom)) {
      form_ = Form::Utf8;
    } else if (file.starts_with(kUtf16LeBom)) {
      form_ = Form::Utf16Le;
    } else if (!IsAscii(file) && IsValidUtf8(file)) {
      form_ = Form::Utf8WithoutMark;
    }
  }
  // The file less its byte-order mark, as the text the profile is searched in.
  std::string Body(std::string_view file) const {
    switch (form_) {
      case Form::Utf8:
        return std::string(file.substr(kUtf8Bom.size()));
      case Form::Utf16Le:
        return Utf16LeToUtf8(file.substr(kUtf16LeBom.size()));
      case Form::Utf8WithoutMark:
      case Form::Windows1252:
        break;
    }
    return std::string(file);
  }
  // The whole file for a body changed in the form Body gave.
  std::string File(std::string_view body) const {
    switch (form_) {
      case Form::Utf8:
        return std::string(kUtf8Bom) + std::string(body);
      case Form::Utf16Le:
        return std::string(kUtf16LeBom) + Utf8ToUtf16Le(body);
      case Form::Utf8WithoutMark:
      case Form::Windows1252:
        break;
    }
    return std::string(body);
  }
  // Our UTF-8 text in the body's form, and back.
  std::string ToBody(std::string_view text) const {
    return form_ == Form::Windows1252 ? Utf8ToWindows1252(text) : std::string(text);
  }
  std::string FromBody(std::string_view bytes) const {
    return form_ == Form::Windows1252 ? Windows1252ToUtf8(bytes) : SanitizeUtf8(bytes);
  }

 private:
  enum class Form { Windows1252, Utf8, Utf8WithoutMark, Utf16Le };
  Form form_ = Form::Windows1252;
};

// A value holds no line break: one would end its line in the file and start another key there. What
// follows the first break is dropped, as a single-line text box drops it.
std::string_view FirstLine(std::string_view value) {
  return value.substr(0, value.find_first_of("\r\n"));
}

std::string_view TrimEnd(std::string_view text) {
  const auto last = text.find_last_not_of(' ');
  return last == std::string_view::npos ? std::string_view() : text.substr(0, last + 1);
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

// As the old program read a key: the system's reader copied the value (blanks inside quotes kept) or the
// default less its trailing blanks, at most 254 characters, into a buffer of NULs; nothing copied gave
// the default unchanged. Then leading blanks went, while trailing ones stayed, as the buffer's NULs
// followed them, and what stood before the first NUL was the value.
std::string SettingsFile::Get(std::string_view section, std::string_view key,
                              std::string_view default_value) const {
  try {
    std::optional<std::string> stored;
    if (const auto file = ReadSettingsFile(path_, *files_)) {
      const Encoding encoding(*file);
      const std::string body = encoding.Body(*file);
      if (const auto value = FindProfileValue(body, encoding.ToBody(section), encoding.ToBody(key))) {
        stored = encoding.FromBody(*value);
      }
    }
    const std::string copied =
        FirstCharacters(stored ? *stored : TrimEnd(default_value), kMaxValueCharacters);
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
    const Encoding encoding(*file);
    const std::string updated =
        encoding.File(SetProfileValue(encoding.Body(*file), encoding.ToBody(section), encoding.ToBody(key),
                                      encoding.ToBody(FirstLine(value))));
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
