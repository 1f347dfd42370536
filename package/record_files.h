// "macros.txt" and "shortcuts.txt": files of four-line records closed by a
// record whose fourth line begins with '/'. The writers and the readers.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <vector>

#include "os/os.h"
#include "package/macros.h"

namespace quill::package {

// True for a fourth line that closes the records (it begins with '/').
inline bool is_record_end(const std::string& fourth_line) {
  return !fourth_line.empty() && fourth_line[0] == '/';
}

// Four-line records of "macros.txt" and "shortcuts.txt": records are read up
// to and including the first one whose fourth line begins with '/', which is
// dropped. A file that ends without that record keeps its complete records.
// At most `max_records` records are read (the last one read is dropped when
// the limit is reached before the terminating record).
std::vector<std::array<std::string, 4>> read_four_line_records(os::Os& os,
                                                               const std::string& path,
                                                               std::size_t max_records);

// "macros.txt": the user macros, then the program name macro "%name%" whose
// value is the registered name, then the closing record. A user macro whose
// value name begins with '/' would close the table early: the builder leaves
// such macros out. With "\n" line ends.
std::string macro_file_text(const std::vector<MacroRecord>& user_macros,
                            const std::string& registered_name);
// The user macros the installer's table has room for beside the program
// name macro and the closing record.
constexpr std::size_t kMaxUserMacros = kMaxMacroRecords - 2;

// "macros.txt": at most 1024 records, the terminating one included.
std::vector<MacroRecord> read_macro_records(os::Os& os, const std::string& path);
// The same from the file's bytes held in memory.
std::vector<MacroRecord> macro_records_from_text(const std::string& bytes);
// The registered name: the value of the table's last record; false when the
// table is empty.
bool registered_name(const std::vector<MacroRecord>& table, std::string* name);

// A shortcut's location number; a file may hold any number, and the reader
// reads those outside 0..2 as none.
enum class ShortcutLocation { none = -1, desktop = 0, start_menu = 1, quick_launch = 2 };

struct ShortcutRecord {
  std::string start_menu_folder;
  std::string name;    // link file name without ".lnk"
  std::string target;  // full path of the file the link starts
  ShortcutLocation location = ShortcutLocation::none;
};

struct ShortcutLocations {
  bool desktop = false;
  bool start_menu = false;
  bool quick_launch = false;
};

// "shortcuts.txt": the records, then the closing record. With "\n" line
// ends.
std::string shortcut_file_text(const std::vector<ShortcutRecord>& records);
// "shortcuts.txt": false when the file is missing.
bool read_shortcut_records(os::Os& os, const std::string& path,
                           std::vector<ShortcutRecord>* records);
// The same from the file's bytes held in memory.
std::vector<ShortcutRecord> shortcut_records_from_text(const std::string& bytes);
ShortcutLocations shortcut_locations(const std::vector<ShortcutRecord>& records);

}  // namespace quill::package
