#pragma once
// Path and file operations shared by start-up, settings, error log and the export run.

#include <filesystem>
#include <string>
#include <string_view>

namespace fernkartei::support {

// The native separator: "\" on Windows, "/" elsewhere.
#ifdef _WIN32
inline constexpr char kPathSeparator = '\\';
#else
inline constexpr char kPathSeparator = '/';
#endif

// Paths are UTF-8 text inside the program; the file system's own form is made only here.
std::filesystem::path PathFromUtf8(const std::string& utf8);
std::string Utf8FromPath(const std::filesystem::path& path);

// The path with exactly one separator at its end (an empty path gives the separator alone).
std::string Add_Backslash(std::string_view path);
// True when an ordinary file (read-only included; hidden files and folders not) matches the path; the
// last part may hold "*" and "?". False on any failure.
bool File_Exist(const std::string& path);
// Deletes the file, write-protected or hidden ones too. False on any failure.
bool File_Delete(const std::string& path);

// Sixteen hex digits that stand for a path, the same in every process and every build: a name for
// what belongs to a folder but cannot live in it (an instance lock of a write-protected folder).
std::string PathKey(std::string_view path);

}  // namespace fernkartei::support
