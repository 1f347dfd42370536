// Line-by-line reading with the 259-character limit.
#include "common/lines.h"

#include <utility>

namespace quill {

LineReader::LineReader(os::Os& os, const std::string& path)
    : file_(os.open_file(path, os::OpenMode::read)) {}

LineReader::LineReader(std::string bytes) : from_memory_(true), memory_(std::move(bytes)) {}

bool LineReader::fill() {
  if (from_memory_) {
    length_ = memory_.copy(buffer_, sizeof buffer_, memory_position_);
    memory_position_ += length_;
  } else if (file_) {
    length_ = file_->read(buffer_, sizeof buffer_);
  } else {
    return false;
  }
  position_ = 0;
  return length_ > 0;
}

bool LineReader::next(std::string* line) {
  line->clear();
  cut_ = false;
  if (!is_open()) return false;
  bool any = false;       // something of this line was read (its end counts)
  bool pending_cr = false;  // a CR waits to see whether an LF follows
  auto keep = [&](char c) {
    if (line->size() < kMaxPathLength) {
      line->push_back(c);
    } else {
      cut_ = true;
    }
  };
  for (;;) {
    if (position_ >= length_ && !fill()) {
      // End of file: a last line without a line end is still a line.
      if (pending_cr) keep('\r');
      return any;
    }
    char c = buffer_[position_++];
    any = true;
    if (c == '\n') return true;
    if (pending_cr) {
      // A CR that is not part of CR LF is an ordinary character.
      keep('\r');
      pending_cr = false;
    }
    if (c == '\r') {
      pending_cr = true;
      continue;
    }
    keep(c);
  }
}

}  // namespace quill
