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

// Writes the bytes beside `path` (the final target of the user's own links) and puts them in its place,
// keeping the old file's owner, rights and attributes; where its folder takes no new files but the file
// may be written, writes it over instead. The old file is untouched unless the result is Replaced. A
// link of another user and anything but a regular file are NotWritable.
ReplaceResult ReplaceFileContents(const std::string& path, std::string_view bytes,
                                  FileSystem& files = PlatformFileSystem());

}  // namespace fernkartei::support
