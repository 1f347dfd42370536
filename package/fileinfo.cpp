// The file list "fileinfo.txt".
#include "package/fileinfo.h"

#include "common/lines.h"
#include "common/paths.h"

namespace quill::package {

namespace {
const char kFileInfoEnd[] = "////";
}  // namespace

std::string file_info_text(const std::vector<FileInfoLine>& lines) {
  std::string out;
  for (const FileInfoLine& line : lines) out += line.entry_name + "|" + line.destination + "\n";
  // Two closing lines, as the installer has always been given.
  out += std::string(kFileInfoEnd) + "\n" + kFileInfoEnd + "\n";
  return out;
}

FileInfoLine parse_file_info_line(const std::string& line) {
  std::size_t bar = line.find('|');
  if (bar == std::string::npos) return FileInfoLine{line, line};
  return FileInfoLine{line.substr(0, bar), line.substr(bar + 1)};
}

bool read_file_info(os::Os& os, const std::string& path, std::vector<FileInfoLine>* lines) {
  lines->clear();
  LineReader reader(os, path);
  if (!reader.is_open()) return false;
  std::string line;
  while (reader.next(&line) && !is_file_info_end(line)) {
    lines->push_back(parse_file_info_line(line));
  }
  return true;
}

std::string file_info_destination(const FileInfoLine& line) {
  std::string name = line.entry_name;
  if (!name.empty() && name[0] == '\\') name.erase(0, 1);
  return with_trailing_backslash(line.destination) + name;
}

}  // namespace quill::package
