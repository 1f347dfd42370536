// Writing and reading the uninstall log. The reader keeps its own line
// splitting because it must know when a line was too long: a path cut to the
// line limit may name a different, existing file or folder.
#include "package/uninstall_log.h"

#include <memory>

#include "common/text_file.h"
#include "text/unicode.h"
#include "package/declaration_records.h"

namespace quill::package {

const char kUninstallLogName[] = "uninstall.ini";
const char kLogTerminator[] = "||||";

// The log is written a line at a time, so no byte-order mark can announce
// lines still to come: each line is stored as it is, ASCII exactly as
// before, any other text as UTF-8. Installers before Unicode wrote the ANSI
// code page, so the reader takes a line that is not valid UTF-8 as ANSI
// (text::Legacy::utf8_first, line by line).
bool append_log_line(os::Os& os, const std::string& log_path, const std::string& line) {
  return append_line(os, log_path, line);
}

bool append_log_line(os::File& log, const std::string& line) { return append_line(log, line); }

std::vector<std::string> log_closing_lines(const std::string& copy_path,
                                           const std::string& install_folder) {
  return {copy_path, install_folder, kLogTerminator};
}

namespace {

struct Line {
  std::string text;  // at most kMaxPathLength characters
  bool damaged = false;
};

class LogReader {
 public:
  explicit LogReader(std::unique_ptr<os::File> file) : file_(std::move(file)) {}

  // Reads the next line; false at the end of the file. CR LF and a lone LF
  // end a line; a last line without line end still counts.
  bool next(Line* line) {
    line->text.clear();
    line->damaged = false;
    std::size_t length = 0;  // bytes of the line, kept or not
    char last = 0;
    bool any = false;
    for (;;) {
      if (position_ == length_ && !fill()) {
        if (!any) return false;
        break;
      }
      any = true;
      char c = buffer_[position_++];
      if (c == '\n') break;
      ++length;
      last = c;
      if (c == '\0') line->damaged = true;
      if (line->text.size() <= kMaxLineBytes) line->text.push_back(c);
    }
    if (last == '\r') {
      --length;
      if (line->text.size() > length) line->text.resize(length);
    }
    if (length > kMaxLineBytes) {
      line->damaged = true;
      line->text.resize(kMaxLineBytes);
    }
    if (first_line_ && line->text.compare(0, 3, text::kUtf8Bom) == 0) line->text.erase(0, 3);
    first_line_ = false;
    if (!text::is_valid_utf8(line->text)) line->text = text::ansi_to_utf8(line->text);
    // The limit counts characters.
    std::size_t pos = 0;
    for (std::size_t n = 0; n < kMaxPathLength && pos < line->text.size(); ++n) {
      text::next_code_point(line->text, &pos);
    }
    if (pos < line->text.size()) {
      line->damaged = true;
      line->text.resize(pos);
    }
    return true;
  }

 private:
  bool fill() {
    length_ = file_->read(buffer_, sizeof buffer_);
    position_ = 0;
    return length_ > 0;
  }

  // A line of kMaxPathLength characters takes at most four bytes each.
  static constexpr std::size_t kMaxLineBytes = kMaxPathLength * 4;
  std::unique_ptr<os::File> file_;
  bool first_line_ = true;
  char buffer_[65536];
  std::size_t length_ = 0;
  std::size_t position_ = 0;
};

}  // namespace

LogStatus read_uninstall_log(os::Os& os, const std::string& path, UninstallLog* log) {
  log->path = path;
  log->registered_name.clear();
  log->registered_name_damaged = false;
  log->entries.clear();
  log->declaration_lines.clear();

  std::unique_ptr<os::File> file = os.open_file(path, os::OpenMode::read);
  if (!file) return LogStatus::cannot_open;
  auto reader = std::make_unique<LogReader>(std::move(file));

  Line line;
  if (!reader->next(&line)) return LogStatus::no_terminator;
  log->registered_name = line.text;
  log->registered_name_damaged = line.damaged;

  while (reader->next(&line)) {
    if (!line.text.empty() && line.text[0] == kLogTerminator[0]) return LogStatus::ok;
    if (is_declaration_record_line(line.text)) {
      if (log->declaration_lines.size() == kMaxLogEntries) return LogStatus::too_many_entries;
      log->declaration_lines.push_back(line.damaged ? std::string() : std::move(line.text));
      continue;
    }
    if (log->entries.size() == kMaxLogEntries) return LogStatus::too_many_entries;
    log->entries.push_back(LogEntry{std::move(line.text), line.damaged});
  }
  return LogStatus::no_terminator;
}

}  // namespace quill::package
