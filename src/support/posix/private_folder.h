#pragma once
// The user's own folder for files that must not be reachable by other users, such as the fallback
// lock of a write-protected program folder.

#include <string>

namespace fernkartei::support {

// XDG_RUNTIME_DIR when it names a folder of this user that nobody else may write to; otherwise
// "fernkartei" in the user's cache folder (XDG_CACHE_HOME, else ~/.cache), created for the user alone.
// Empty when there is no such folder.
std::string PrivateRuntimeFolder();

}  // namespace fernkartei::support
