// The removal engine: deletes what the uninstall log lists, sweeps the
// install folder of what became empty and deletes the uninstall entry.
// It never asks and never reports a failure; it reports its steps through a
// RemovalObserver (the progress dialog in the program, a recorder in tests).
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "common/in_use.h"
#include "common/callback_ref.h"
#include "common/progress_report.h"
#include "common/run_log.h"
#include "os/os.h"
#include "uninstaller/folder_guard.h"
#include "uninstaller/removal_scope.h"
#include "uninstaller/uninstall_log.h"

namespace quill::uninstaller {

// The removal cannot be cancelled. Each status is a new line of the step
// list, which the dialog makes the selected, visible one.
class RemovalObserver : public ProgressReport {
 public:
  // The removal is over; the dialog's button now closes it.
  virtual void finished() = 0;
};

// Runs the whole removal for a log that was read completely. Every entry
// is shown; only those that RemovalScope places are acted on, and none
// through a link on the way (removal_scope.h).
// True when something the log lists waits for the next restart (the
// working copy's own removal aside). A file in use (os::Os::file_in_use) is
// left for the restart, or, without `restart_allowed`, where it is.
// `record` (null: none) hears what became of each entry, each declaration
// and the uninstall entry.
bool run_removal(os::Os& os, const UninstallLog& log, const FolderGuard& guard,
                 RemovalObserver& observer, bool restart_allowed = true, RunLog* record = nullptr);

// The files the log lists for removal that another program holds open now.
std::vector<std::string> files_in_use(os::Os& os, const UninstallLog& log,
                                      const FolderGuard& guard);

// Before a removal: each file in use is asked about (interactive: `ask`
// gets its path and question) or decided (silent) until it is free or may
// wait for the restart (or, without `restart_allowed` and when the user
// chose Ignore, stay). False when the removal must not start: Abort, or,
// silent without `restart_allowed`, any file in use. Nothing is removed here.
bool settle_files_in_use(
    os::Os& os, const UninstallLog& log, const FolderGuard& guard, bool silent,
    bool restart_allowed,
    CallbackRef<InUseAnswer(const std::string& path, const std::string& question)> ask);

// Removes one entry of the role given (not EntryRole::none): a program
// group as a whole tree and any other folder only when it is empty (both
// when the guard allows it), a link in the entry's place as itself, and
// anything else as a file. A file that is in use (not read-only, yet not
// deletable) is moved into `aside` (when not empty) and deleted from there
// when the system next starts; one that cannot be moved is deleted from its
// place then, and an installed one is added to `later`. Other failures are
// ignored.
// True when the entry waits for the next restart. A file in use is never
// deleted in place: it goes the in-use way at once, or, without
// `restart_allowed`, stays.
bool remove_entry(os::Os& os, const FolderGuard& guard, const std::string& entry, EntryRole role,
                  const std::string& aside, std::vector<std::string>* later,
                  bool restart_allowed = true);

// The folder of the running program when it is a working copy made by the
// launcher (a private folder of this run): where files in use are put
// aside. Empty otherwise.
std::string aside_folder(os::Os& os);

// Removes every folder below base + relative that is empty once its own
// subfolders are swept, bottom-up, then that folder itself. A file (any
// existing non-folder whose name does not begin with '.') ends the sweep of
// its folder at once, so the folder and what the listing returned after the
// file stay. Never deletes a file. A link to a folder is removed as an
// entry, never walked into; a link to a file counts as a file. `base` is a
// folder the guard lets go, so never a drive root.
void sweep_folder(os::Os& os, std::string base, const std::string& relative, bool normalise);

// Deletes the uninstall entry of `log`'s registered name unless that name
// is empty, damaged or holds a '\' (which would reach the Uninstall key
// itself or another installation's key). True when a key was deleted.
bool delete_uninstall_entry(os::Os& os, const UninstallLog& log);

// "Removing %s..." for an entry, shortened from the front to the 259
// characters the list line may hold.
std::string removing_line(const std::string& entry);

}  // namespace quill::uninstaller
