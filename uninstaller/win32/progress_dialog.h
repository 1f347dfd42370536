// The uninstaller's progress dialog (template 101) and its removal worker.
#pragma once

#include <windows.h>

#include "common/run_log.h"
#include "os/os.h"
#include "uninstaller/folder_guard.h"
#include "uninstaller/uninstall_log.h"

namespace quill::uninstaller {

// Shows the progress dialog modally; its first initialisation starts the
// removal worker over `log`. Returns when the user ends the dialog, which
// may be while the worker still runs: the caller then ends the process
// without running destructors, since the worker still reads these objects.
// True when the removal, finished by then, left work for the next restart.
// `record` (null: none) hears the removal's steps (run_removal).
bool run_progress_dialog(HINSTANCE instance, os::Os& os, const UninstallLog& log,
                         const FolderGuard& guard, bool restart_allowed = true,
                         RunLog* record = nullptr);

}  // namespace quill::uninstaller
