// The uninstall log "uninstall.ini": the registered name on its first line,
// then one path per line up to the terminator line (first character '|').
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "os/os.h"

namespace quill::uninstall {

// Longest line the log may hold; longer lines are damaged.
constexpr std::size_t kMaxLogLine = 259;
// Capacity of the entry table.
constexpr std::size_t kMaxLogEntries = std::size_t{1} << 20;

struct LogEntry {
  std::string path;
  // The line was longer than kMaxLogLine or held a zero byte: `path` is
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
  std::string registered_name;
  // The first line was damaged (too long or with a zero byte): its text is
  // cut and must not be used as a registry key name.
  bool name_damaged = false;
  std::vector<LogEntry> entries;
};

// Reads the whole log and closes it again before returning. On any status
// but ok, `log` holds what was read so far and must not drive a removal.
LogStatus read_uninstall_log(os::Os& os, const std::string& path, UninstallLog* log);

}  // namespace quill::uninstall
