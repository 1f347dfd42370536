// The rules of names, folders and texts that every way into a project shares.
#include "builder/project/field_rules.h"

#include <cctype>
#include <cerrno>
#include <cstdlib>

#include "common/limits.h"
#include "text/unicode.h"

namespace quill::project {

namespace {

std::string upper(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

bool is_device_name(const std::string& name) {
  // Windows takes these names as devices whatever follows the first dot.
  const std::string stem = upper(name.substr(0, name.find('.')));
  for (const char* device : {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"}) {
    if (stem == device) return true;
  }
  return stem.size() == 4 && (stem.compare(0, 3, "COM") == 0 || stem.compare(0, 3, "LPT") == 0) &&
         stem[3] >= '1' && stem[3] <= '9';
}

// The problem of each name of a folder path from `start` on; the path ends
// in "\".
std::string names_problem(const std::string& folder, std::size_t start) {
  if (folder.empty() || folder.back() != '\\') return "does not end in \"\\\"";
  while (start < folder.size()) {
    std::size_t end = folder.find('\\', start);
    std::string problem = file_name_problem(folder.substr(start, end - start));
    if (!problem.empty()) return "holds a folder name that " + problem;
    start = end + 1;
  }
  return std::string();
}

}  // namespace

std::string text_problem(const std::string& text) {
  std::size_t characters = 0;
  for (std::size_t at = 0; at < text.size();) {
    const char32_t c = text::next_code_point(text, &at);
    if (c == U'\r' || c == U'\n') return "holds a line break";
    ++characters;
  }
  if (characters > kMaxPathLength) {
    return "is " + std::to_string(characters) + " characters long; at most " + std::to_string(kMaxPathLength) +
           " fit";
  }
  return std::string();
}

std::string file_name_problem(const std::string& name) {
  std::string problem = text_problem(name);
  if (!problem.empty()) return problem;
  if (name.empty()) return "is empty";
  for (unsigned char c : name) {
    if (c < 0x20 || c == 0x7F) return "holds a control character";
  }
  if (name == "." || name == "..") return "is \"" + name + "\"";
  if (name.find_first_of("\\/:*?\"<>|") != std::string::npos) return "holds one of \\ / : * ? \" < > |";
  if (name.back() == '.' || name.back() == ' ') return "ends in a dot or a space";
  if (is_device_name(name)) return "is a device name of Windows";
  return std::string();
}

std::string install_folder_problem(const std::string& folder) {
  static const std::string root = "%install path%\\";
  std::string problem = text_problem(folder);
  if (!problem.empty()) return problem;
  if (folder.compare(0, root.size(), root) != 0) return "is not a folder below %install path%";
  return names_problem(folder, root.size());
}

std::string custom_folder_problem(const std::string& folder) {
  std::string problem = text_problem(folder);
  if (!problem.empty()) return problem;
  // The first part is a drive ("C:"), a macro ("%system%") or, after "\\",
  // a server and its share.
  std::size_t start = 0;
  if (folder.compare(0, 2, "\\\\") == 0) {
    start = folder.find('\\', 2);
    if (start != std::string::npos) start = folder.find('\\', start + 1);
  } else {
    start = folder.find('\\');
  }
  if (folder.empty() || folder.back() != '\\') return "does not end in \"\\\"";
  const std::string first = start == std::string::npos ? std::string() : folder.substr(0, start);
  const bool drive = first.size() == 2 && std::isalpha(static_cast<unsigned char>(first[0])) && first[1] == ':';
  const bool macro = first.size() > 2 && first.front() == '%' && first.back() == '%';
  const bool server = folder.compare(0, 2, "\\\\") == 0 && start != std::string::npos;
  if (!drive && !macro && !server) return "is not a full path (a drive, a macro or \\\\server\\share)";
  return names_problem(folder, start + 1);
}

std::string shortcut_folder_problem(const std::string& folder) {
  std::string problem = text_problem(folder);
  if (!problem.empty() || folder.empty()) return problem;
  std::size_t start = 0;
  while (start <= folder.size()) {
    std::size_t end = folder.find('\\', start);
    if (end == std::string::npos) end = folder.size();
    // Only a last "\" may leave a name empty.
    if (end == folder.size() && start == end && start > 0) break;
    problem = file_name_problem(folder.substr(start, end - start));
    if (!problem.empty()) return "holds a folder name that " + problem;
    start = end + 1;
  }
  return std::string();
}

std::string macro_name_problem(const std::string& name) {
  std::string problem = text_problem(name);
  if (!problem.empty()) return problem;
  if (name.size() < 3 || name.front() != '%' || name.back() != '%' || name.find('%', 1) != name.size() - 1) {
    return "is not a word between two % signs, such as %company%";
  }
  return std::string();
}

std::string number_problem(const std::string& text, long minimum, long maximum) {
  const char* begin = text.c_str();
  char* end = nullptr;
  errno = 0;
  const long long n = std::strtoll(begin, &end, 10);
  if (text.empty() || *end != '\0' || errno == ERANGE || n < minimum || n > maximum) {
    return "is not a number from " + std::to_string(minimum) + " to " + std::to_string(maximum);
  }
  return std::string();
}

}  // namespace quill::project
