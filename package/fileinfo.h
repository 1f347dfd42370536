// "fileinfo.txt": the files to install, one line each ("entry|folder"),
// closed by a line beginning with '/'. The writer and the reader.
#pragma once

#include <string>
#include <vector>

#include "os/os.h"

namespace quill::package {

// One line: the entry name (with '\') and the destination folder, split at
// the first '|'. A line without '|' is both.
struct FileInfoLine {
  std::string entry_name;
  std::string destination;
};

// The lines, then the closing lines. With "\n" line ends.
std::string file_info_text(const std::vector<FileInfoLine>& lines);

FileInfoLine parse_file_info_line(const std::string& line);
// True for the line that ends the file list (it begins with '/').
inline bool is_file_info_end(const std::string& line) { return !line.empty() && line[0] == '/'; }
// Reads the lines that install something, up to the first end line. False
// when the file is missing.
bool read_file_info(os::Os& os, const std::string& path, std::vector<FileInfoLine>* lines);
// Destination of an entry: the folder with one trailing '\', then the entry
// name without a leading '\'.
std::string file_info_destination(const FileInfoLine& line);

}  // namespace quill::package
