// String and path helpers for Windows-form paths.
#pragma once

#include <string>

namespace quill {

// True for '\\' and '/', which Windows both reads as a path separator.
inline bool is_path_separator(char c) { return c == '\\' || c == '/'; }
// The ASCII letters a to z in upper case; every other byte as it is.
inline char ascii_upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

bool ends_with(const std::string& text, const std::string& tail);
bool starts_with(const std::string& text, const std::string& head);

// Appends a backslash unless the path already ends in one.
std::string with_trailing_backslash(const std::string& path);
// Drops one trailing backslash when there is one.
std::string without_trailing_backslash(const std::string& path);
// The path up to and including its last backslash or slash ("" when there
// is none).
std::string folder_part(const std::string& path);
// The part after the last backslash or slash.
std::string file_name_part(const std::string& path);
// Replaces every `from` character by `to`.
std::string replace_char(std::string text, char from, char to);
// True when the relative name is safe below a folder: not absolute, no drive,
// no component made only of dots and spaces, not empty.
bool is_safe_relative_name(const std::string& name);
// Length of the part of `path` that is a root and never created: "C:\",
// "\\server\share\", a leading separator, or 0 for a relative path.
std::size_t root_length(const std::string& path);
// True for the absolute paths the installer writes: "X:\..." and
// "\\server\...", with backslashes only.
bool is_absolute_backslash_path(const std::string& path);
// True for "X:\..." and "\\server\..." written with either separator, as a
// hand-edited file may hold them.
bool is_absolute_path_either_separator(const std::string& path);
// True when the path is a drive root such as "C:\" or "C:".
bool is_drive_root(const std::string& path);
// Case-insensitive comparison of UTF-8 paths as Windows compares them
// (the letters of text::upper_case).
bool paths_equal(const std::string& a, const std::string& b);
// Decimal text to integer: leading digits (with an optional sign), else 0.
long parse_decimal(const std::string& text);

}  // namespace quill
