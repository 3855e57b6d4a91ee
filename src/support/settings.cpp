#include "support/settings.h"

#include <filesystem>
#include <optional>
#include <system_error>
#include <utility>

#include "support/atomic_replace.h"
#include "support/failure.h"
#include "support/file_helpers.h"
#include "support/process_state.h"
#include "support/profile_text.h"
#include "support/text.h"
#include "support/whole_file.h"

namespace fernkartei::support {
namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
// The old reader's buffer held 255 characters, one of them the terminating NUL.
constexpr std::size_t kMaxValueCharacters = 254;

// Far beyond any settings file; a larger one is something else and is not read whole.
constexpr std::uintmax_t kLargestFile = std::uintmax_t{1} << 26;

// The file's bytes; nothing when it cannot be read, empty when it does not exist.
std::optional<std::string> ReadSettingsFile(const std::string& path) {
  std::error_code error;
  if (!std::filesystem::exists(PathFromUtf8(path), error) && !error) return std::string();
  WholeFile file = ReadWholeFile(PathFromUtf8(path), kLargestFile);
  if (!file.read) return std::nullopt;
  return std::move(file.bytes);
}

// The file is Windows-1252 as the old program wrote it; one saved by an editor as UTF-8 with a byte
// order mark is read (and written back) as UTF-8 instead.
struct Encoding {
  bool utf8 = false;
  std::string ToFile(std::string_view text) const {
    return utf8 ? std::string(text) : Utf8ToWindows1252(text);
  }
  std::string FromFile(std::string_view bytes) const {
    return utf8 ? SanitizeUtf8(bytes) : Windows1252ToUtf8(bytes);
  }
};

Encoding EncodingOf(std::string_view file) {
  return Encoding{file.substr(0, kUtf8Bom.size()) == kUtf8Bom};
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

std::string SettingsFile::Get(std::string_view section, std::string_view key,
                              std::string_view default_value) const {
  try {
    std::optional<std::string> stored;
    if (const auto file = ReadSettingsFile(path_)) {
      const Encoding encoding = EncodingOf(*file);
      const std::string_view body = std::string_view(*file).substr(encoding.utf8 ? kUtf8Bom.size() : 0);
      if (const auto value = FindProfileValue(body, encoding.ToFile(section), encoding.ToFile(key))) {
        stored = encoding.FromFile(*value);
      }
    }
    const std::string copied = FirstCharacters(Trim(stored ? *stored : default_value), kMaxValueCharacters);
    if (copied.empty()) return std::string(default_value);
    return Trim(copied);
  } catch (...) {
    return std::string(default_value);
  }
}

void SettingsFile::Write(std::string_view section, std::string_view key, std::string_view value) const {
  try {
    // A file that exists but cannot be read is not overwritten with this one key: that would lose
    // every other setting in it.
    const auto file = ReadSettingsFile(path_);
    if (!file) return;
    const Encoding encoding = EncodingOf(*file);
    const std::string_view body = std::string_view(*file).substr(encoding.utf8 ? kUtf8Bom.size() : 0);
    const std::string updated =
        std::string(encoding.utf8 ? kUtf8Bom : "") +
        SetProfileValue(body, encoding.ToFile(section), encoding.ToFile(key), encoding.ToFile(value));
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
