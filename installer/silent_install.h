// "/S": the install without a window or a question. Every question gets the
// answer its box would offer first: an existing file is replaced, a file that
// cannot be written aborts (and undoes) the install. The end-of-install
// message and program are skipped.
#pragma once

#include <string>

#include "installer/install_log.h"
#include "os/os.h"
#include "package/archive.h"
#include "package/data_files.h"

namespace quill::installer {

// Installs the loaded package to `folder` (the "/D=" text; empty: the
// folder the wizard would offer), checked as the wizard checks it. Answers
// the process's exit code; refusals and failed writes go to `log` (null:
// none). `archive` is where the install entries are read (empty: the
// payload folder's copy).
int run_silent_install(os::Os& os, const package::InstallerData& data, const std::string& folder,
                       InstallLog* log, const package::ArchiveLocation& archive = {});

}  // namespace quill::installer
