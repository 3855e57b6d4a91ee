#pragma once
// Process-wide state that start-up fills once and everything else reads.

#include <string>

namespace fernkartei::support {

// "Fernkartei": section of every settings key, window caption, title of every message box.
inline std::string App_Title;
inline constexpr const char* kAppTitle = "Fernkartei";
// Full path of system.ini beside the program; the settings operations use it and nothing else.
inline std::string INI_Path;

}  // namespace fernkartei::support
