// Writing and reading the uninstall log. The reader keeps its own line
// splitting because it must know when a line was too long: a path cut to the
// line limit may name a different, existing file or folder.
#include "package/uninstall_log.h"

#include <memory>

#include "common/text_file.h"
#include "package/declaration_records.h"

namespace quill::package {

const char kUninstallLogName[] = "uninstall.ini";
const char kLogTerminator[] = "||||";

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
    std::size_t length = 0;  // characters of the line, kept or not
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
      if (line->text.size() <= kMaxPathLength) line->text.push_back(c);
    }
    if (last == '\r') {
      --length;
      if (line->text.size() > length) line->text.resize(length);
    }
    if (length > kMaxPathLength) {
      line->damaged = true;
      line->text.resize(kMaxPathLength);
    }
    return true;
  }

 private:
  bool fill() {
    length_ = file_->read(buffer_, sizeof buffer_);
    position_ = 0;
    return length_ > 0;
  }

  std::unique_ptr<os::File> file_;
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
