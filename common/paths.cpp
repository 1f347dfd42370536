// String and path helpers for Windows-form paths.
#include "common/paths.h"

#include <cctype>
#include <climits>
#include <cstdint>

#include "text/unicode.h"

namespace quill {
namespace {

bool is_letter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

}  // namespace

bool ends_with(const std::string& text, const std::string& tail) {
  return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

bool starts_with(const std::string& text, const std::string& head) {
  return text.size() >= head.size() && text.compare(0, head.size(), head) == 0;
}

std::string with_trailing_backslash(const std::string& path) {
  return ends_with(path, "\\") ? path : path + "\\";
}

std::string without_trailing_backslash(const std::string& path) {
  return ends_with(path, "\\") ? path.substr(0, path.size() - 1) : path;
}

std::string folder_part(const std::string& path) {
  std::size_t at = path.find_last_of("\\/");
  return at == std::string::npos ? std::string() : path.substr(0, at + 1);
}

std::string file_name_part(const std::string& path) {
  std::size_t at = path.find_last_of("\\/");
  return at == std::string::npos ? path : path.substr(at + 1);
}

std::string replace_char(std::string text, char from, char to) {
  for (char& c : text) {
    if (c == from) c = to;
  }
  return text;
}

bool is_safe_relative_name(const std::string& name) {
  if (name.empty() || is_path_separator(name[0])) return false;
  if (name.find(':') != std::string::npos) return false;  // drives and stream names
  std::size_t i = 0;
  while (i < name.size()) {
    std::size_t end = i;
    while (end < name.size() && !is_path_separator(name[end])) ++end;
    std::string part = name.substr(i, end - i);
    // A single trailing separator ends the loop before an empty part is seen.
    // Windows drops a part's trailing dots and spaces, so "..." or ". " is
    // "." or an empty name there.
    if (part.find_first_not_of(". ") == std::string::npos) return false;
    i = end + 1;
  }
  return true;
}

std::size_t root_length(const std::string& path) {
  if (path.size() >= 2 && is_path_separator(path[0]) && is_path_separator(path[1])) {
    std::size_t server_end = path.find_first_of("\\/", 2);
    if (server_end == std::string::npos) return path.size();
    std::size_t share_end = path.find_first_of("\\/", server_end + 1);
    return share_end == std::string::npos ? path.size() : share_end + 1;
  }
  if (path.size() >= 2 && path[1] == ':') return path.size() >= 3 && is_path_separator(path[2]) ? 3 : 2;
  return !path.empty() && is_path_separator(path[0]) ? 1 : 0;
}

bool is_absolute_backslash_path(const std::string& path) {
  if (path.size() >= 3 && is_letter(path[0]) && path[1] == ':' && path[2] == '\\') return true;
  return path.size() > 2 && path[0] == '\\' && path[1] == '\\' && path[2] != '\\';
}

bool is_absolute_path_either_separator(const std::string& path) {
  if (path.size() >= 3 && is_letter(path[0]) && path[1] == ':' && is_path_separator(path[2])) return true;
  return path.size() >= 2 && is_path_separator(path[0]) && is_path_separator(path[1]);
}

bool is_drive_root(const std::string& path) {
  if (path.size() < 2 || path.size() > 3) return false;
  if (!std::isalpha(static_cast<unsigned char>(path[0])) || path[1] != ':') return false;
  return path.size() == 2 || is_path_separator(path[2]);
}

bool paths_equal(const std::string& a, const std::string& b) {
  return text::equal_ignoring_case(a, b);
}

long parse_decimal(const std::string& text) {
  std::size_t i = 0;
  while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  // Values beyond 32 bits saturate, as the Windows programs' long does.
  const std::int64_t limit = negative ? -static_cast<std::int64_t>(INT32_MIN) : INT32_MAX;
  std::int64_t value = 0;
  for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i) {
    value = value * 10 + (text[i] - '0');
    if (value > limit) value = limit;
  }
  return static_cast<long>(negative ? -value : value);
}

}  // namespace quill
