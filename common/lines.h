// Line-by-line reading of text files with the system's 259-character line
// limit (counted in characters, not bytes). CR LF and a lone LF both end a
// line; a CR that no LF follows is an ordinary character of its line, so
// what a writer put in a line (other than an LF) is read back unchanged.
// Lines come out as UTF-8: a file is decoded by its byte-order mark, or line
// by line by its legacy rule; text held in memory is UTF-8 already.
#pragma once

#include <memory>
#include <string>

#include "common/limits.h"
#include "text/unicode.h"
#include "os/os.h"

namespace quill {

class LineReader {
 public:
  LineReader(os::Os& os, const std::string& path, text::Legacy legacy = text::Legacy::ansi);
  // Reads the lines of `bytes`, a file's text held in memory (UTF-8).
  explicit LineReader(std::string bytes);
  // False when the file could not be opened.
  bool is_open() const { return file_ != nullptr || from_memory_; }
  // Reads the next line into `line`; false at the end of the file. A line
  // longer than kMaxPathLength is cut there and its rest is skipped.
  bool next(std::string* line);
  // True when the line last read was longer than kMaxPathLength and was cut.
  bool last_line_cut() const { return cut_; }

 private:
  enum class Encoding { utf8, legacy };
  bool fill();
  bool next_raw(std::string* line);
  std::unique_ptr<os::File> file_;
  Encoding encoding_ = Encoding::utf8;
  text::Legacy legacy_ = text::Legacy::ansi;
  bool from_memory_ = false;
  std::string memory_;
  std::size_t memory_position_ = 0;
  char buffer_[8192];
  std::size_t length_ = 0;
  std::size_t position_ = 0;
  bool cut_ = false;
};

}  // namespace quill
