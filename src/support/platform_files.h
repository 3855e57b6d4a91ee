#pragma once
// The few file-system facts that differ between operating systems.

#include <cstdio>
#include <optional>
#include <string>

namespace fernkartei::support {

// Pushes what the stream has written down to the storage device, so that a file renamed into place
// afterwards is complete even after a power cut. False when the device reports a failure; a stream
// that is no file (a pipe, a terminal) counts as done.
bool SyncToDisk(std::FILE* stream);

// Cuts the file behind the stream after the stream's position, after flushing it. False when the system
// reports a failure.
bool CutAtPosition(std::FILE* stream);

// The value of an environment variable as UTF-8 (Windows keeps the environment in UTF-16: "C:\Users\Jörg"
// must not pass through the ANSI code page); nothing when it is not set.
std::optional<std::string> EnvironmentVariable(const char* name);

// The user's documents folder when USERPROFILE is not set: XDG_DOCUMENTS_DIR of user-dirs.dirs, else
// $HOME/Documents. Without a trailing separator; empty when not even HOME is known.
std::string UserDocumentsFolder();

}  // namespace fernkartei::support
