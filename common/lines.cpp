// Line-by-line reading with the 259-character limit.
#include "common/lines.h"

#include <utility>

namespace quill {

LineReader::LineReader(os::Os& os, const std::string& path, text::Legacy legacy)
    : file_(os.open_file(path, os::OpenMode::read)), encoding_(Encoding::legacy), legacy_(legacy) {
  if (!file_ || !fill()) return;
  const std::string_view start(buffer_, length_);
  if (start.substr(0, 3) == text::kUtf8Bom) {
    encoding_ = Encoding::utf8;
    position_ = 3;
  } else if (start.substr(0, 2) == "\xFF\xFE" || start.substr(0, 2) == "\xFE\xFF") {
    // UTF-16 has no line structure in bytes: the whole file is decoded
    // (within the data files' size) and read from memory.
    std::string bytes(start);
    char chunk[8192];
    std::size_t n;
    while (bytes.size() < (std::size_t{64} << 20) && (n = file_->read(chunk, sizeof chunk)) > 0) {
      bytes.append(chunk, n);
    }
    file_.reset();
    from_memory_ = true;
    memory_ = text::decode_text(bytes);
    encoding_ = Encoding::utf8;
    length_ = position_ = 0;
  }
}

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
  if (!next_raw(line)) return false;
  if (text::is_ascii(*line)) return true;
  if (encoding_ == Encoding::legacy) {
    // Only a file's start can hold a byte-order mark: a line is decoded by
    // the legacy rule alone.
    if (legacy_ == text::Legacy::ansi || !text::is_valid_utf8(*line)) *line = text::ansi_to_utf8(*line);
  } else {
    *line = text::repaired_utf8(*line);
  }
  // The limit counts characters: an ANSI byte or a malformed byte may have
  // become several bytes.
  std::size_t pos = 0;
  for (std::size_t count = 0; pos < line->size() && count < kMaxPathLength; ++count) {
    text::next_code_point(*line, &pos);
  }
  if (pos < line->size()) {
    line->resize(pos);
    cut_ = true;
  }
  return true;
}

bool LineReader::next_raw(std::string* line) {
  line->clear();
  cut_ = false;
  if (!is_open()) return false;
  bool any = false;       // something of this line was read (its end counts)
  bool pending_cr = false;  // a CR waits to see whether an LF follows
  // Characters kept so far: every byte but UTF-8's continuation bytes
  // starts one. A character is kept whole or not at all.
  std::size_t characters = 0;
  bool cutting = false;
  auto keep = [&](char c) {
    const bool continuation = (static_cast<unsigned char>(c) & 0xC0) == 0x80;
    if (!continuation) cutting = characters == kMaxPathLength;
    if (cutting || line->size() >= kMaxPathLength * 4) {
      cut_ = true;
      return;
    }
    if (!continuation) ++characters;
    line->push_back(c);
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
