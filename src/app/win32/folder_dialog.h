#pragma once
// The system's folder dialog for the vCard source: a folder of vCards or one .vcf file.

#include <windows.h>

#include <optional>
#include <string>

namespace fernkartei::app {

// Nothing when the user cancels.
std::optional<std::string> ChooseContactsFolder(HWND owner);

}  // namespace fernkartei::app
