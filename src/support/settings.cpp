#include "support/settings.h"

#include <fstream>
#include <iterator>
#include <optional>

#include "support/atomic_replace.h"
#include "support/error_log.h"
#include "support/failure.h"
#include "support/process_state.h"
#include "support/profile_text.h"
#include "support/text.h"

namespace fernkartei::support {
namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
// The old reader's buffer held 255 characters, one of them the terminating NUL.
constexpr std::size_t kMaxValueCharacters = 254;

std::optional<std::string> ReadWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) return std::nullopt;
  return bytes;
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

std::string Get_InI(std::string_view section, std::string_view key, std::string_view default_value) {
  try {
    std::optional<std::string> stored;
    if (const auto file = ReadWholeFile(INI_Path)) {
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

void Write_INI(std::string_view section, std::string_view key, std::string_view value) {
  try {
    const std::string file = ReadWholeFile(INI_Path).value_or("");
    const Encoding encoding = EncodingOf(file);
    const std::string_view body = std::string_view(file).substr(encoding.utf8 ? kUtf8Bom.size() : 0);
    const std::string updated =
        std::string(encoding.utf8 ? kUtf8Bom : "") +
        SetProfileValue(body, encoding.ToFile(section), encoding.ToFile(key), encoding.ToFile(value));
    // A settings file that may not be written is skipped silently, as the program always did; only a
    // real I/O failure is worth an entry in the log.
    if (ReplaceFileContents(INI_Path, updated) == ReplaceResult::Failed) {
      throw Failure(ErrorNumber::DeviceIoError);
    }
  } catch (const Failure& failure) {
    Write_Error_Log("Hauptmodul!Sub Write_INI()", failure, 3);
  } catch (const std::exception& e) {
    Write_Error_Log("Hauptmodul!Sub Write_INI()", Failure(ErrorNumber::DeviceIoError, e.what()), 3);
  }
}

}  // namespace fernkartei::support
