// "/S": the install without a window or a question. Every question gets the
// answer its box would offer first: an existing file is replaced, a file that
// cannot be written aborts (and undoes) the install. The end-of-install
// message and program are skipped. "/PASSIVE" runs the same install and
// shows its progress.
#pragma once

#include <string>

#include "common/progress_report.h"
#include "common/run_log.h"
#include "os/os.h"
#include "package/archive.h"
#include "package/data_files.h"

namespace quill::installer {

// Installs the loaded package to `command_line_folder` (the "/D=" text;
// empty: the folder the wizard would offer), checked as the wizard checks
// it. Answers the process's exit code; refusals and failed writes go to
// `log` (null: none). The install entries are read through the archive file the data
// names, which the loader opened at start.
// A package older than the installed program ends with kExitNewerInstalled,
// nothing changed, unless `allow_downgrade`. `progress` (null: none) hears
// the install's status lines and progress, on the calling thread.
int run_silent_install(os::Os& os, const package::InstallerData& data,
                       const std::string& command_line_folder, RunLog* log,
                       bool allow_downgrade = false, bool restart_allowed = true,
                       ProgressReport* progress = nullptr);

}  // namespace quill::installer
