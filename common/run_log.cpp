// The run's record and its small JSON writer.
#include "common/run_log.h"

#include "common/paths.h"
#include "common/text_file.h"

namespace quill {

bool is_json_lines_name(const std::string& path) {
  static const char kSuffix[] = ".JSONL";
  const std::size_t n = sizeof kSuffix - 1;
  if (path.size() < n) return false;
  for (std::size_t i = 0; i < n; ++i) {
    if (ascii_upper(path[path.size() - n + i]) != kSuffix[i]) return false;
  }
  return true;
}

void append_json_string(std::string* out, const std::string& text) {
  static const char kHex[] = "0123456789abcdef";
  *out += '"';
  for (char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      *out += '\\';
      *out += c;
    } else if (byte < 0x20) {
      *out += "\\u00";
      *out += kHex[byte >> 4];
      *out += kHex[byte & 15];
    } else {
      *out += c;
    }
  }
  *out += '"';
}

RunLog::RunLog(os::Os& os, const std::string& path)
    : file_(os.open_file(path, os::OpenMode::append)), json_(is_json_lines_name(path)) {}

void RunLog::note(const char* step, const std::string& value, const std::string& second,
                  const char* event) {
  write(step, value, second, false, event);
}

void RunLog::note_number(const char* step, long long value) {
  write(step, std::to_string(value), std::string(), true, nullptr);
}

void RunLog::write(const char* step, const std::string& value, const std::string& second, bool number,
                   const char* event) {
  if (!file_) return;
  const std::string* values[] = {&value, &second};
  std::string record;
  if (json_) {
    static const char* const kKeys[] = {"event", "action"};
    record = "{";
    // The names before '|': event, action, the first value's, the second's.
    for (int i = 0; *step != '|'; ++i) {
      std::string name;
      while (*step != ' ' && *step != '|') name += *step++;
      if (*step == ' ') ++step;
      if (name == "-") continue;
      if (record.size() > 1) record += ',';
      append_json_string(&record, i < 2 ? std::string(kKeys[i]) : name);
      record += ':';
      if (i == 0 && event) name = event;
      if (i == 2 && number) {
        record += value;
      } else {
        append_json_string(&record, i < 2 ? name : *values[i - 2]);
      }
    }
    // JSON lines end in LF alone.
    record += "}\n";
  } else {
    std::string line;
    while (*step++ != '|') {}
    for (; *step; ++step) {
      if (*step == '%' && (step[1] == '1' || step[1] == '2')) {
        line += *values[*++step - '1'];
      } else {
        line += *step;
      }
    }
    add_crlf_line(&record, line);
  }
  file_->write(record.data(), record.size());
}

}  // namespace quill
