// The uninstaller reads the log in the package's format (package/uninstall_log.h).
#pragma once

#include "package/uninstall_log.h"

namespace quill::uninstaller {

using package::kMaxLogEntries;
using package::LogEntry;
using package::LogStatus;
using package::read_uninstall_log;
using package::UninstallLog;

}  // namespace quill::uninstaller
