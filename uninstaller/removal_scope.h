// Which entries of an uninstall log a removal may act on. The log is plain
// text that someone else may have edited, so an entry counts only where the
// installation's own things lie: below the install folder, as a program
// group or shortcut in the shell's folders, or as the log being read and
// the uninstaller registered beside it. Every other entry is shown and
// skipped.
#pragma once

#include <string>

#include "os/os.h"
#include "uninstaller/folder_guard.h"
#include "uninstaller/uninstall_log.h"

namespace quill::uninstaller {

enum class EntryRole {
  none,           // named nowhere the installation put things: never acted on
  installed,      // below the install folder
  program_group,  // below a Programs folder (the user's or all users'), not a shortcut: removed as a tree
  shortcut,       // a ".lnk" file below a desktop or Programs folder, or the Quick Launch folder
  log_copy,       // the log the removal reads
  uninstaller,    // the program the uninstall entry registers, beside that log
};

class RemovalScope {
 public:
  // Judges the log's last entry, the install folder, once. It counts only
  // when the guard allows it and either the log lies directly in it, or
  // the uninstall entry of the log's registered name (which only
  // administrators can write) records it as the install location and
  // registers an uninstaller in the log's folder. Otherwise nothing is
  // below the install folder for this removal.
  RemovalScope(os::Os& os, const UninstallLog& log, const FolderGuard& guard);

  bool install_folder_trusted() const { return !install_folder_.empty(); }
  EntryRole role(const std::string& entry) const;
  // True when no folder on the way from the entry's place down to the
  // entry is a link or junction: one planted there would carry the removal
  // elsewhere. The install folder itself is on the way of an installed
  // entry; the shell's own folders are not (the system may redirect them).
  bool no_link_on_the_way(os::Os& os, const std::string& entry, EntryRole role) const;
  // The comparable install folder; empty when it does not count.
  const std::string& install_folder() const { return install_folder_; }

 private:
  const std::string& anchor(EntryRole role, const std::string& path) const;

  std::string install_folder_;  // every path here in comparable form
  std::string log_path_;
  std::string uninstaller_;
  // The current user's and all users' folders.
  std::string programs_[2];
  std::string desktops_[2];
  std::string quick_launch_;
};

// True when `path` lies below `folder` (not the folder itself); both in
// comparable form and not empty.
bool is_below_comparable(const std::string& folder, const std::string& path);

// Where the uninstall entry of the log's install lies: below
// HKEY_CURRENT_USER when the entry of its registered name there records the
// log's install folder (a per-user install), else below HKEY_LOCAL_MACHINE.
os::RegistryRoot uninstall_entry_root(os::Os& os, const UninstallLog& log);

}  // namespace quill::uninstaller
