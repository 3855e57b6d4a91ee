#pragma once
// Small text helpers shared by the whole core. Text inside the core is UTF-8; Windows-1252 is what the
// settings file and the error log hold on disk.

#include <string>
#include <string_view>

namespace fernkartei::support {

// Appends the UTF-8 form of one code point (which the caller keeps within U+10FFFF).
void AppendUtf8(std::string& out, char32_t code_point);

// Removes leading and trailing U+0020 only: tabs, NUL and other blanks stay, as the program always did.
std::string Trim(std::string_view text);

// UTF-8 to Windows-1252. Characters the code page lacks become "?"; invalid UTF-8 bytes as well.
std::string Utf8ToWindows1252(std::string_view utf8);

// Windows-1252 to UTF-8. The five bytes the code page leaves undefined map to the C1 controls, as
// Windows' own converter does.
std::string Windows1252ToUtf8(std::string_view bytes);

// UTF-16 little-endian bytes (what Notepad saves as "Unicode", without the byte-order mark) to UTF-8, and
// back. An unpaired surrogate, an odd last byte or ill-formed UTF-8 becomes U+FFFD.
std::string Utf16LeToUtf8(std::string_view bytes);
std::string Utf8ToUtf16Le(std::string_view utf8);

// True when the bytes are well-formed UTF-8 (no overlongs, no surrogates, nothing above U+10FFFF).
bool IsValidUtf8(std::string_view bytes);

// Replaces every ill-formed UTF-8 sequence by U+FFFD, so that what reaches an export file is always
// well-formed.
std::string SanitizeUtf8(std::string_view bytes);

// Removes leading and trailing spaces and tabs: the blanks around names and values in the files we read.
std::string_view TrimBlanks(std::string_view text);

// True when no byte is above 0x7F.
bool IsAscii(std::string_view bytes);

// ASCII letters only change case; names of keys, sections and vCard properties are compared this way.
constexpr char AsciiUpper(char c) {
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}
constexpr char AsciiLower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}
std::string AsciiUpper(std::string_view text);
std::string AsciiLower(std::string_view text);
bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b);
bool StartsWithIgnoringAsciiCase(std::string_view text, std::string_view prefix);

}  // namespace fernkartei::support
