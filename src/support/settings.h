#pragma once
// The settings file: one key at a time, read or written in the private-profile ("INI") format that the
// old program's system.ini has, at INI_Path.

#include <string>
#include <string_view>

namespace fernkartei::support {

// The stored value (at most 254 characters), or default_value when the key, the file or the value is
// missing or empty. Never fails.
std::string Get_InI(std::string_view section, std::string_view key, std::string_view default_value);
// Stores key=value in the section, creating file and section as needed and keeping every other line.
// Never fails towards the caller: a failure is logged (number > 0) and the setting is not stored.
void Write_INI(std::string_view section, std::string_view key, std::string_view value);

}  // namespace fernkartei::support
