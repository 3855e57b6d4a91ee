#pragma once
// The private-profile ("INI") format on the level of the file's bytes: finding a key's value and
// setting one, with every other byte of the file kept as it was.

#include <optional>
#include <string>
#include <string_view>

namespace fernkartei::support {

// The value of key in section, blanks around it dropped and one pair of enclosing quotes stripped;
// nothing when the section or key is absent. Names match without regard to ASCII letter case; the
// first matching section and key win. Lines may end in CR LF or LF, the last one in nothing.
std::optional<std::string> FindProfileValue(std::string_view file, std::string_view section,
                                            std::string_view key);

// The file with key=value set in section: an existing key's line is replaced, a missing key is added
// at the end of its section, a missing section is added at the end of the file. New lines end in CR LF.
std::string SetProfileValue(std::string_view file, std::string_view section, std::string_view key,
                            std::string_view value);

}  // namespace fernkartei::support
