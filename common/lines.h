// Line-by-line reading of 8-bit text files with the system's 259-character
// line limit. CR LF and a lone LF both end a line; a CR that no LF follows
// is an ordinary character of its line, so what a writer put in a line
// (other than an LF) is read back unchanged.
#pragma once

#include <memory>
#include <string>

#include "common/limits.h"
#include "os/os.h"

namespace quill {

class LineReader {
 public:
  LineReader(os::Os& os, const std::string& path);
  // Reads the lines of `bytes`, a file's content held in memory.
  explicit LineReader(std::string bytes);
  // False when the file could not be opened.
  bool is_open() const { return file_ != nullptr || from_memory_; }
  // Reads the next line into `line`; false at the end of the file. A line
  // longer than kMaxPathLength is cut there and its rest is skipped.
  bool next(std::string* line);
  // True when the line last read was longer than kMaxPathLength and was cut.
  bool last_line_cut() const { return cut_; }

 private:
  bool fill();
  std::unique_ptr<os::File> file_;
  bool from_memory_ = false;
  std::string memory_;
  std::size_t memory_position_ = 0;
  char buffer_[8192];
  std::size_t length_ = 0;
  std::size_t position_ = 0;
  bool cut_ = false;
};

}  // namespace quill
