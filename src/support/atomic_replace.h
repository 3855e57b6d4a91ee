#pragma once
// Replacing a whole small file so that a crash or a full disk never leaves half of it behind.

#include <string>
#include <string_view>

namespace fernkartei::support {

enum class ReplaceResult {
  Replaced,
  NotWritable,  // the file is write-protected or its folder does not let us write: nothing changed
  Failed,       // an I/O failure (disk full, ...): nothing changed
};

// Writes the bytes to a temporary file beside `path` and renames it over `path`; keeps the old file's
// permissions. The old file is untouched unless the result is Replaced.
ReplaceResult ReplaceFileContents(const std::string& path, std::string_view bytes);

}  // namespace fernkartei::support
