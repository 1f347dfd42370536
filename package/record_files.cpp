// The four-line record files "macros.txt" and "shortcuts.txt".
#include "package/record_files.h"

#include <limits>

#include "common/lines.h"
#include "common/paths.h"

namespace quill::package {

namespace {

const char kRecordEnd[] = "////";
const char kProgramNameMacro[] = "%name%";

void add_record(std::string& out, const std::string& a, const std::string& b,
                const std::string& c, const std::string& d) {
  for (const std::string* line : {&a, &b, &c, &d}) {
    out += *line;
    out += '\n';
  }
}

void add_closing_record(std::string& out) {
  add_record(out, kRecordEnd, kRecordEnd, kRecordEnd, kRecordEnd);
}

}  // namespace

namespace {

std::vector<std::array<std::string, 4>> four_line_records(LineReader& reader,
                                                          std::size_t max_records) {
  std::vector<std::array<std::string, 4>> records;
  if (!reader.is_open()) return records;
  while (records.size() < max_records) {
    std::array<std::string, 4> record;
    bool complete = true;
    for (std::string& line : record) {
      if (!reader.next(&line)) {
        complete = false;
        break;
      }
    }
    if (!complete) return records;  // no terminating record: keep what is complete
    bool terminator = is_record_end(record[3]);
    records.push_back(std::move(record));
    if (terminator) {
      records.pop_back();
      return records;
    }
  }
  // The limit was met before the terminating record: the last one read is
  // dropped, as the terminator would have been.
  if (!records.empty()) records.pop_back();
  return records;
}

std::vector<MacroRecord> macro_records(LineReader& reader) {
  std::vector<MacroRecord> table;
  for (auto& lines : four_line_records(reader, kMaxMacroRecords)) {
    table.push_back(MacroRecord{std::move(lines[0]), std::move(lines[1]), std::move(lines[2]),
                                std::move(lines[3])});
  }
  return table;
}

std::vector<ShortcutRecord> shortcut_records(LineReader& reader) {
  std::vector<ShortcutRecord> records;
  for (auto& lines : four_line_records(reader, std::numeric_limits<std::size_t>::max())) {
    ShortcutRecord record;
    record.start_menu_folder = std::move(lines[0]);
    record.name = std::move(lines[1]);
    record.target = std::move(lines[2]);
    long location = parse_decimal(lines[3]);
    record.location = location >= 0 && location <= 2 ? static_cast<ShortcutLocation>(location)
                                                      : ShortcutLocation::none;
    records.push_back(std::move(record));
  }
  return records;
}

}  // namespace

std::vector<std::array<std::string, 4>> read_four_line_records(os::Os& os,
                                                               const std::string& path,
                                                               std::size_t max_records) {
  LineReader reader(os, path);
  return four_line_records(reader, max_records);
}

std::string macro_file_text(const std::vector<MacroRecord>& user_macros,
                            const std::string& registered_name) {
  std::string out;
  for (const MacroRecord& macro : user_macros) {
    add_record(out, macro.name, macro.value, macro.key, macro.value_name);
  }
  add_record(out, kProgramNameMacro, registered_name, "", "");
  add_closing_record(out);
  return out;
}

std::vector<MacroRecord> read_macro_records(os::Os& os, const std::string& path) {
  LineReader reader(os, path);
  return macro_records(reader);
}

std::vector<MacroRecord> macro_records_from_text(const std::string& bytes) {
  LineReader reader(bytes);
  return macro_records(reader);
}

bool registered_name(const std::vector<MacroRecord>& table, std::string* name) {
  if (table.empty()) return false;
  *name = table.back().value;
  return true;
}

std::string shortcut_file_text(const std::vector<ShortcutRecord>& records) {
  std::string out;
  for (const ShortcutRecord& record : records) {
    add_record(out, record.start_menu_folder, record.name, record.target,
               std::to_string(static_cast<int>(record.location)));
  }
  add_closing_record(out);
  return out;
}

bool read_shortcut_records(os::Os& os, const std::string& path,
                           std::vector<ShortcutRecord>* records) {
  records->clear();
  if (!os.file_status(path).exists) return false;
  LineReader reader(os, path);
  *records = shortcut_records(reader);
  return true;
}

std::vector<ShortcutRecord> shortcut_records_from_text(const std::string& bytes) {
  LineReader reader(bytes);
  return shortcut_records(reader);
}

ShortcutLocations shortcut_locations(const std::vector<ShortcutRecord>& records) {
  ShortcutLocations locations;
  for (const ShortcutRecord& record : records) {
    switch (record.location) {
      case ShortcutLocation::desktop: locations.desktop = true; break;
      case ShortcutLocation::start_menu: locations.start_menu = true; break;
      case ShortcutLocation::quick_launch: locations.quick_launch = true; break;
      case ShortcutLocation::none: break;
    }
  }
  return locations;
}

}  // namespace quill::package
