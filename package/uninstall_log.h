// The uninstall log "uninstall.ini": the registered name on its first line,
// then one path per line up to the terminator line (first character '|').
// The installer writes it line by line as it installs; the uninstaller
// reads it whole.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "common/limits.h"
#include "os/os.h"

namespace quill::package {

// The log's file name, in the install folder and beside the uninstaller.
extern const char kUninstallLogName[];  // "uninstall.ini"
// The line that ends the log.
extern const char kLogTerminator[];  // "||||"

// Appends one line of the log (CR LF), creating the file when missing.
bool append_log_line(os::Os& os, const std::string& log_path, const std::string& line);
// The same through a file the caller keeps open for appending.
bool append_log_line(os::File& log, const std::string& line);
// The last lines of a log: the path of its copy beside the uninstaller, the
// install folder (the last entry, which a removal only sweeps), then the
// terminator.
std::vector<std::string> log_closing_lines(const std::string& copy_path,
                                           const std::string& install_folder);

// Capacity of the entry table.
constexpr std::size_t kMaxLogEntries = std::size_t{1} << 20;

struct LogEntry {
  std::string path;
  // The line was longer than kMaxPathLength or held a zero byte: `path` is
  // only its shortened text for display, and nothing is done with it,
  // because a cut path may name some other file or folder.
  bool damaged = false;
};

enum class LogStatus {
  ok,
  cannot_open,     // the file could not be opened
  no_terminator,   // the file ended before a line starting with '|'
  too_many_entries // more than kMaxLogEntries entries before the terminator
};

struct UninstallLog {
  // Where the log was read from: the log copy that the removal may delete
  // is this file.
  std::string path;
  std::string registered_name;
  // The first line was damaged (too long or with a zero byte): its text is
  // cut and must not be used as a registry key name.
  bool registered_name_damaged = false;
  std::vector<LogEntry> entries;
  // The lines of the declaration records (package/declaration_records.h),
  // in order, kept apart from the entries; a damaged one as an empty line.
  std::vector<std::string> declaration_lines;
};

// Reads the whole log and closes it again before returning. On any status
// but ok, `log` holds what was read so far and must not drive a removal.
LogStatus read_uninstall_log(os::Os& os, const std::string& path, UninstallLog* log);

}  // namespace quill::package
