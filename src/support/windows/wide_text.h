#pragma once
// The edge between the core's UTF-8 and the UTF-16 of every Windows call. Nothing in the core hands UTF-8
// bytes to an ANSI function: it converts here and calls the wide one.

#include <string>
#include <string_view>
#include <vector>

namespace fernkartei::support {

// Ill-formed UTF-8 becomes U+FFFD.
std::wstring WideFromUtf8(std::string_view utf8);
// An unpaired surrogate becomes U+FFFD.
std::string Utf8FromWide(std::wstring_view wide);

// The arguments wmain receives, as UTF-8.
std::vector<std::string> Utf8Arguments(int argc, wchar_t** argv);

}  // namespace fernkartei::support
