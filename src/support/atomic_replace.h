#pragma once
// Replacing a whole small file so that a crash or a full disk never leaves half of it behind.

#include <string>
#include <string_view>

#include "support/file_system.h"

namespace fernkartei::support {

enum class ReplaceResult {
  Replaced,
  NotWritable,  // the file is write-protected or its folder does not let us write: nothing changed
  Failed,       // an I/O failure (disk full, ...): nothing changed
};

// Writes the bytes beside `path` and puts them in its place; keeps the old file's access rights. The old
// file is untouched unless the result is Replaced.
ReplaceResult ReplaceFileContents(const std::string& path, std::string_view bytes,
                                  FileSystem& files = PlatformFileSystem());

}  // namespace fernkartei::support
