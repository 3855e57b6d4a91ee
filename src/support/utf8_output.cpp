#include "support/utf8_output.h"

#include <utility>

#include "support/failure.h"
#include "support/text.h"

namespace fernkartei::support {
namespace {

// A lone UTF-16 surrogate that reached us encoded on its own (ED A0..BF xx, as text converted from a
// broken UTF-16 source carries it) stands for one character, so it becomes one U+FFFD, not three.
std::string ReplaceInvalid(std::string_view text) {
  std::string joined;
  joined.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto b0 = static_cast<unsigned char>(text[i]);
    if (b0 == 0xED && i + 2 < text.size()) {
      const auto b1 = static_cast<unsigned char>(text[i + 1]);
      const auto b2 = static_cast<unsigned char>(text[i + 2]);
      if (b1 >= 0xA0 && b1 <= 0xBF && b2 >= 0x80 && b2 <= 0xBF) {
        joined += "\xEF\xBF\xBD";
        i += 2;
        continue;
      }
    }
    joined += text[i];
  }
  return SanitizeUtf8(joined);
}

}  // namespace

Utf8File::Utf8File(WritableFile& borrowed) : file_(&borrowed) {}

Utf8File::Utf8File(std::unique_ptr<WritableFile> owned, std::string path)
    : owned_(std::move(owned)), file_(owned_.get()), path_(std::move(path)) {}

void Utf8File::Write(std::string_view text, bool add_line_end) {
  if (file_ == nullptr) throw Failure(ErrorNumber::BadFileNameOrNumber);
  if (IsValidUtf8(text)) {
    file_->Write(text);
  } else {
    file_->Write(ReplaceInvalid(text));
  }
  if (add_line_end) file_->Write("\r\n");
}

void Utf8File::Close() {
  if (file_ == nullptr) return;
  WritableFile* file = file_;
  file_ = nullptr;
  if (!owned_) {
    file->Flush();
    return;
  }
  // Released when a step fails, which closes the file without another word.
  const std::unique_ptr<WritableFile> owned = std::move(owned_);
  owned->Flush();
  owned->Sync();
  owned->Close();
}

std::unique_ptr<Utf8File> Open_UTF8_File(const std::string& path, FileSystem& files) {
  return std::make_unique<Utf8File>(files.OpenForAppend(path), path);
}

void Write_UTF8_Text(Utf8File& file, std::string_view text, bool add_line_end) {
  file.Write(text, add_line_end);
}

}  // namespace fernkartei::support
